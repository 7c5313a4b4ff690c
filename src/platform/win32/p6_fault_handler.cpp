#include "platform/win32/p6_fault_handler.h"

#include <cstddef>
#include <cstdint>

#include "platform/p6_instruction.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

namespace {

constexpr std::uint8_t Ud2[] = {0x0F, 0x0B};
constexpr std::size_t LongestInstruction = 15;

bool ReadMemory(std::uint32_t address, unsigned size, std::uint32_t& value, void*) {
  const void* where = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(address));
  // The processor would fault on such an operand; the handler must not.
  if (IsBadReadPtr(where, size)) return false;
  value = size == 2 ? *static_cast<const std::uint16_t*>(where)
                    : *static_cast<const std::uint32_t*>(where);
  return true;
}

p6::Registers RegistersOf(const CONTEXT& context) {
  p6::Registers registers;
  const DWORD general[8] = {context.Eax, context.Ecx, context.Edx, context.Ebx,
                            context.Esp, context.Ebp, context.Esi, context.Edi};
  for (std::size_t i = 0; i < 8; ++i) registers.general[i] = general[i];
  registers.flags = context.EFlags;
  return registers;
}

// A conditional move changes no flags and never its stack pointer's
// meaning; only the general registers go back.
void Store(const p6::Registers& registers, CONTEXT& context) {
  DWORD* general[8] = {&context.Eax, &context.Ecx, &context.Edx, &context.Ebx,
                       &context.Esp, &context.Ebp, &context.Esi, &context.Edi};
  for (std::size_t i = 0; i < 8; ++i) *general[i] = registers.general[i];
}

// Carries out the instruction at the fault (after a UD2 when `marked`) and
// resumes after it; anything else goes on to the next handler.
EXCEPTION_DISPOSITION CarryOut(const EXCEPTION_RECORD& record, CONTEXT& context, bool marked) {
  if (record.ExceptionCode != EXCEPTION_ILLEGAL_INSTRUCTION ||
      (record.ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND))) {
    return ExceptionContinueSearch;
  }
  const auto* code = reinterpret_cast<const std::uint8_t*>(static_cast<std::uintptr_t>(context.Eip));
  std::size_t marker = 0;
  if (marked) {
    if (code[0] != Ud2[0] || code[1] != Ud2[1]) return ExceptionContinueSearch;
    marker = sizeof Ud2;
  }
  p6::Registers registers = RegistersOf(context);
  const std::size_t length =
      p6::CarryOutConditionalMove(code + marker, LongestInstruction, registers, ReadMemory, nullptr);
  if (length == 0) return ExceptionContinueSearch;
  Store(registers, context);
  context.Eip += static_cast<DWORD>(marker + length);
  return ExceptionContinueExecution;
}

extern "C" EXCEPTION_DISPOSITION __cdecl ConditionalMoveHandler(EXCEPTION_RECORD* record, void*,
                                                                 CONTEXT* context, void*) {
  return CarryOut(*record, *context, false);
}

extern "C" EXCEPTION_DISPOSITION __cdecl MarkedConditionalMoveHandler(EXCEPTION_RECORD* record,
                                                                       void*, CONTEXT* context,
                                                                       void*) {
  return CarryOut(*record, *context, true);
}

using Handler = EXCEPTION_DISPOSITION(__cdecl*)(EXCEPTION_RECORD*, void*, CONTEXT*, void*);

// A handler on the thread's chain for as long as this object lives. Windows
// wants the record on the stack, which an automatic object is.
class HandlerRegistration {
 public:
  explicit HandlerRegistration(Handler handler) : handler_(handler) {
    asm volatile("movl %%fs:0, %0" : "=r"(next_));
    asm volatile("movl %0, %%fs:0" : : "r"(this) : "memory");
  }
  ~HandlerRegistration() { asm volatile("movl %0, %%fs:0" : : "r"(next_) : "memory"); }
  HandlerRegistration(const HandlerRegistration&) = delete;
  HandlerRegistration& operator=(const HandlerRegistration&) = delete;

 private:
  // The layout Windows walks: the next record, then the handler.
  HandlerRegistration* next_ = nullptr;
  Handler handler_;
};

}  // namespace

void RunWithConditionalMovesCarriedOut(void (*body)()) {
  HandlerRegistration registration(ConditionalMoveHandler);
  body();
}

void RunWithMarkedConditionalMovesCarriedOut(void (*body)()) {
  HandlerRegistration registration(MarkedConditionalMoveHandler);
  body();
}

}  // namespace tarvo
