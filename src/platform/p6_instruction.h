// The Pentium Pro's conditional moves, carried out for a processor that
// lacks them. The runtime libraries the launcher links were compiled for the
// Pentium Pro and use CMOVcc; on a Pentium, Pentium MMX or AMD K6 each one
// raises an invalid-opcode fault, which the launcher's fault handler hands
// here. Portable: the registers and memory come in from outside.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvo::p6 {

// The general registers in the processor's own order (EAX, ECX, EDX, EBX,
// ESP, EBP, ESI, EDI) and EFLAGS, as a fault leaves them.
struct Registers {
  std::uint32_t general[8] = {};
  std::uint32_t flags = 0;
};

// Reads `size` (2 or 4) bytes at `address` into `value`; false where that
// memory cannot be read. The caller's own context rides along.
using MemoryReader = bool (*)(std::uint32_t address, unsigned size, std::uint32_t& value,
                              void* context);

// Whether condition `code` (the low four bits of the opcode, as in Jcc)
// holds for `flags`.
bool ConditionHolds(unsigned code, std::uint32_t flags);

// Carries out the CMOVcc at `code` (`available` bytes of it readable) on
// `registers`: the move when its condition holds, and the read of a memory
// operand either way, as the processor does. Returns the instruction's
// length, or 0, with `registers` untouched, for anything else: another
// instruction, a segment override (its base is not at hand), an address
// size prefix, bytes cut off, or a memory operand that cannot be read.
std::size_t CarryOutConditionalMove(const std::uint8_t* code, std::size_t available,
                                    Registers& registers, MemoryReader read, void* context);

}  // namespace tarvo::p6
