// The fault handler that lets the launcher run on processors older than the
// Pentium Pro: the runtime libraries it links use CMOVcc, which traps there,
// and the handler carries each one out and resumes after it. 32-bit x86
// only, where handlers are registered on the stack (through FS:[0]) on every
// Windows from 95 on.
#pragma once

namespace tarvo {

// Runs `body` with the handler registered; outermost of the program's own
// handlers, so nothing the program starts runs before it.
void RunWithConditionalMovesCarriedOut(void (*body)());

// As above, and also carries out a CMOVcc that follows UD2: an instruction
// that traps on every processor, so that tests on a processor that has CMOV
// still go through the handler.
void RunWithMarkedConditionalMovesCarriedOut(void (*body)());

}  // namespace tarvo
