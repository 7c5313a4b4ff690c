// The launcher's fault handler for conditional moves, under the real
// Windows: a UD2 before each CMOVcc makes it trap on any processor, and the
// handler must leave the registers as the same CMOVcc run by the processor
// itself does. Every condition, under every combination of the five flags
// it reads, with register and memory operands of both sizes.
#include <cstdint>
#include <cstdio>
#include <utility>

#include "platform/win32/p6_fault_handler.h"

namespace {

struct Outcome {
  std::uint32_t destination;
  std::uint32_t flags;
};

// cmov<Condition> eax, ecx / eax, [edx], 16- or 32-bit, run by the
// processor itself, or behind UD2 (`Marked`) through the handler. The bytes
// are written out, as the assembler takes no condition number.
template <unsigned Condition, bool Word, bool Memory, bool Marked>
Outcome Run(std::uint32_t flags, std::uint32_t destination, std::uint32_t source,
            const std::uint32_t* memory) {
  std::uint32_t after = 0;
  asm volatile(
      "pushl %[flags]\n\tpopfl\n\t"
      ".if %c[marked]\n\t.byte 0x0f, 0x0b\n\t.endif\n\t"
      ".if %c[word]\n\t.byte 0x66\n\t.endif\n\t"
      ".byte 0x0f, 0x40 + %c[condition], %c[modrm]\n\t"
      "pushfl\n\tpopl %[after]"
      : "+a"(destination), [after] "=&r"(after)
      : [flags] "r"(flags), "c"(source), "d"(memory), [condition] "i"(Condition),
        [word] "i"(Word ? 1 : 0), [modrm] "i"(Memory ? 0x02 : 0xC1), [marked] "i"(Marked ? 1 : 0)
      : "cc", "memory");
  return {destination, after & 0x8D5};
}

using Runner = Outcome (*)(std::uint32_t, std::uint32_t, std::uint32_t, const std::uint32_t*);

// The four forms of one condition, each run by the processor and through the handler.
struct Forms {
  Runner processor[4];
  Runner handler[4];
};

template <unsigned Condition>
void AddForms(Forms& forms) {
  forms.processor[0] = Run<Condition, false, false, false>;
  forms.processor[1] = Run<Condition, true, false, false>;
  forms.processor[2] = Run<Condition, false, true, false>;
  forms.processor[3] = Run<Condition, true, true, false>;
  forms.handler[0] = Run<Condition, false, false, true>;
  forms.handler[1] = Run<Condition, true, false, true>;
  forms.handler[2] = Run<Condition, false, true, true>;
  forms.handler[3] = Run<Condition, true, true, true>;
}

template <unsigned... Conditions>
void AddAll(Forms (&table)[16], std::integer_sequence<unsigned, Conditions...>) {
  (AddForms<Conditions>(table[Conditions]), ...);
}

const char* const FormNames[4] = {"eax, ecx", "ax, cx", "eax, [edx]", "ax, [edx]"};
constexpr std::uint32_t ConditionFlags[] = {0x001, 0x004, 0x040, 0x080, 0x800};  // CF PF ZF SF OF

int checked = 0;
int failed = 0;

void CheckAll() {
  Forms table[16];
  AddAll(table, std::make_integer_sequence<unsigned, 16>());
  const std::uint32_t memory = 0x13572468;
  for (unsigned condition = 0; condition < 16; ++condition) {
    for (unsigned form = 0; form < 4; ++form) {
      for (unsigned combination = 0; combination < 32; ++combination) {
        std::uint32_t flags = 0x202;
        for (unsigned bit = 0; bit < 5; ++bit) {
          if (combination & (1u << bit)) flags |= ConditionFlags[bit];
        }
        const std::uint32_t destination = 0xA5A50000u + condition * 131 + combination;
        const std::uint32_t source = 0x5A5A0000u + form * 977 + combination;
        const Outcome real = table[condition].processor[form](flags, destination, source, &memory);
        const Outcome handled = table[condition].handler[form](flags, destination, source, &memory);
        ++checked;
        if (real.destination != handled.destination || real.flags != handled.flags) {
          ++failed;
          std::printf("FAILED: cmov condition %u %s, flags %03X: processor %08X, handler %08X\n",
                      condition, FormNames[form], static_cast<unsigned>(flags),
                      static_cast<unsigned>(real.destination),
                      static_cast<unsigned>(handled.destination));
        }
      }
    }
  }
}

}  // namespace

int main() {
  tarvo::RunWithMarkedConditionalMovesCarriedOut(CheckAll);
  std::printf("%d of %d conditional moves carried out by the fault handler as the processor does\n",
              checked - failed, checked);
  return failed == 0 && checked > 0 ? 0 : 1;
}
