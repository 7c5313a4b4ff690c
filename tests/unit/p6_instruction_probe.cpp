// The conditional moves the launcher carries out for processors that lack
// them, held against the processor itself. A freestanding 32-bit Linux
// program (no C library: Debian's i386 one is built for the Pentium Pro and
// would trap in its own start-up on a Pentium):
//
//   p6_instruction_probe compare   runs each instruction on this processor
//                                  and through the carrying out, and compares
//                                  registers, flags and the length taken;
//   p6_instruction_probe trap      on a processor without CMOV (qemu-i386
//                                  -cpu pentium): each instruction faults, a
//                                  SIGILL handler carries it out on the
//                                  fault's context and resumes, and the
//                                  result must be what the carrying out
//                                  gives directly; every case must trap.
//
// Either way it also checks the forms that are refused. It prints one line
// per failure and a count, and exits 0 only when every case passed.
#include <cstddef>
#include <cstdint>

#include "platform/p6_instruction.h"

namespace {

using tarvo::p6::Registers;

// --- The little the program needs of Linux, through int 0x80. -------------

long Syscall(long number, long a = 0, long b = 0, long c = 0, long d = 0, long e = 0,
             long f = 0) {
  // EBP takes the sixth argument, and every other register is taken too:
  // the last two come in through memory that EDI points at.
  const long last[2] = {e, f};
  long result;
  asm volatile(
      "push %%ebp\n\t"
      "push %%edi\n\t"
      "movl 4(%%edi), %%ebp\n\t"
      "movl (%%edi), %%edi\n\t"
      "int $0x80\n\t"
      "pop %%edi\n\t"
      "pop %%ebp"
      : "=a"(result)
      : "a"(number), "b"(a), "c"(b), "d"(c), "S"(d), "D"(last)
      : "memory");
  return result;
}

constexpr long SysExit = 1;
constexpr long SysWrite = 4;
constexpr long SysSigreturnRt = 173;
constexpr long SysSigaction = 174;
constexpr long SysSigaltstack = 186;
constexpr long SysMmap2 = 192;

void Write(const char* text) {
  std::size_t length = 0;
  while (text[length]) ++length;
  Syscall(SysWrite, 1, reinterpret_cast<long>(text), static_cast<long>(length));
}

void WriteNumber(std::uint32_t value, unsigned base = 10) {
  char digits[12];
  char* end = digits + sizeof digits - 1;
  *end = '\0';
  char* p = end;
  do {
    *--p = "0123456789abcdef"[value % base];
    value /= base;
  } while (value);
  Write(p);
}

void* MapAt(std::uint32_t address, std::uint32_t size, bool executable) {
  constexpr long Read = 1, WriteAccess = 2, Execute = 4, Private = 0x02, Fixed = 0x10,
                 Anonymous = 0x20;
  const long result = Syscall(SysMmap2, static_cast<long>(address), static_cast<long>(size),
                              Read | WriteAccess | (executable ? Execute : 0),
                              Private | Fixed | Anonymous, -1, 0);
  return result == static_cast<long>(address) ? reinterpret_cast<void*>(result) : nullptr;
}

// --- Memory the instructions read, and registers that point into it. ------

// Every register of a memory form holds a value from [RegisterLow,
// RegisterLow + RegisterSpan): base + index * 8 + any displacement used
// then stays inside the data area.
constexpr std::uint32_t DataArea = 0x00010000;
constexpr std::uint32_t DataSize = 0x00400000 - DataArea;
constexpr std::uint32_t RegisterLow = 0x00020000;
constexpr std::uint32_t RegisterSpan = 0x00008000;
constexpr std::uint32_t AbsoluteDisplacement = 0x00030000;
constexpr std::uint32_t CodeArea = 0x00500000;

std::uint8_t PatternAt(std::uint32_t address) {
  address ^= address >> 7;
  return static_cast<std::uint8_t>(address * 151u + 77u);
}

bool ReadData(std::uint32_t address, unsigned size, std::uint32_t& value, void*) {
  if (address < DataArea || address + size > DataArea + DataSize) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(address);
  value = 0;
  for (unsigned i = 0; i < size; ++i) value |= std::uint32_t{bytes[i]} << (8 * i);
  return true;
}

std::uint32_t Mix(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  return x ^ (x >> 16);
}

// --- Running one instruction for real. -------------------------------------

struct Machine {
  Registers in;
  Registers out;
  std::uint32_t savedStack;
};
Machine machine;

// Code that loads `machine.in`, runs the instruction, stores `machine.out`.
class Emitter {
 public:
  explicit Emitter(std::uint8_t* at) : at_(at) {}
  void Byte(std::uint8_t b) { *at_++ = b; }
  void Bytes(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) Byte(bytes[i]);
  }
  void Address(const void* where) {
    const auto value = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(where));
    for (unsigned shift = 0; shift < 32; shift += 8) Byte(static_cast<std::uint8_t>(value >> shift));
  }
  // mov reg, [where] / mov [where], reg
  void Load(unsigned reg, const void* where) { Byte(0x8B), Byte(0x05 | (reg << 3)), Address(where); }
  void Store(unsigned reg, const void* where) { Byte(0x89), Byte(0x05 | (reg << 3)), Address(where); }

 private:
  std::uint8_t* at_;
};

constexpr unsigned Esp = 4;

void EmitRun(const std::uint8_t* instruction, std::size_t length) {
  Emitter e(reinterpret_cast<std::uint8_t*>(CodeArea));
  e.Byte(0x60);  // pushad
  e.Store(Esp, &machine.savedStack);
  e.Byte(0xFF), e.Byte(0x35), e.Address(&machine.in.flags);  // push [flags]
  e.Byte(0x9D);                                              // popfd
  for (unsigned reg = 0; reg < 8; ++reg) {
    if (reg != Esp) e.Load(reg, &machine.in.general[reg]);
  }
  e.Load(Esp, &machine.in.general[Esp]);
  e.Bytes(instruction, length);
  e.Store(Esp, &machine.out.general[Esp]);
  e.Load(Esp, &machine.savedStack);
  e.Byte(0x9C);                                             // pushfd
  e.Byte(0x8F), e.Byte(0x05), e.Address(&machine.out.flags);  // pop [flags]
  for (unsigned reg = 0; reg < 8; ++reg) {
    if (reg != Esp) e.Store(reg, &machine.out.general[reg]);
  }
  e.Byte(0x61);  // popad
  e.Byte(0xC3);  // ret
}

void RunForReal() { reinterpret_cast<void (*)()>(CodeArea)(); }

// --- The fault handler of trap mode. --------------------------------------

std::uint32_t traps = 0;

// The kernel's i386 signal context as the handler's third argument gives
// it: uc_flags, uc_link, uc_stack (3 words), then the general registers.
struct SignalContext {
  std::uint32_t flags, link, stack[3];
  std::uint32_t gs, fs, es, ds, edi, esi, ebp, esp, ebx, edx, ecx, eax, trapno, err, eip, cs,
      eflags;
};

void OnIllegalInstruction(int, void*, void* raw) {
  auto& c = *static_cast<SignalContext*>(raw);
  Registers r;
  std::uint32_t* order[8] = {&c.eax, &c.ecx, &c.edx, &c.ebx, &c.esp, &c.ebp, &c.esi, &c.edi};
  for (unsigned i = 0; i < 8; ++i) r.general[i] = *order[i];
  r.flags = c.eflags;
  const std::size_t length = tarvo::p6::CarryOutConditionalMove(
      reinterpret_cast<const std::uint8_t*>(c.eip), 15, r, ReadData, nullptr);
  if (length == 0) {
    Write("FAILED: a fault the carrying out refused\n");
    Syscall(SysExit, 2);
  }
  for (unsigned i = 0; i < 8; ++i) *order[i] = r.general[i];
  c.eip += length;
  ++traps;
}

extern "C" void ReturnFromSignal();
asm(".text\nReturnFromSignal:\n\tmovl $173, %eax\n\tint $0x80\n");

bool InstallFaultHandler() {
  static std::uint8_t alternateStack[65536];
  struct {
    void* sp;
    int flags;
    std::size_t size;
  } stack = {alternateStack, 0, sizeof alternateStack};
  if (Syscall(SysSigaltstack, reinterpret_cast<long>(&stack), 0) != 0) return false;
  constexpr unsigned long SaSiginfo = 4, SaOnstack = 0x08000000, SaRestorer = 0x04000000;
  struct {
    void (*handler)(int, void*, void*);
    unsigned long flags;
    void (*restorer)();
    unsigned long mask[2];
  } action = {OnIllegalInstruction, SaSiginfo | SaOnstack | SaRestorer, ReturnFromSignal, {0, 0}};
  constexpr long Sigill = 4;
  static_assert(SysSigreturnRt == 173, "ReturnFromSignal's number");
  return Syscall(SysSigaction, Sigill, reinterpret_cast<long>(&action), 0, 8) == 0;
}

// --- The cases. --------------------------------------------------------------

constexpr std::uint32_t CarryFlag = 1u << 0, ParityFlag = 1u << 2, ZeroFlag = 1u << 6,
                        SignFlag = 1u << 7, OverflowFlag = 1u << 11;
constexpr std::uint32_t ConditionFlags[] = {CarryFlag, ParityFlag, ZeroFlag, SignFlag,
                                            OverflowFlag};
// Bit 1 is always set; IF is left as the kernel has it.
constexpr std::uint32_t FlagsBase = 0x202;

struct Instruction {
  std::uint8_t bytes[16];
  std::size_t length = 0;
  void Add(std::uint8_t b) { bytes[length++] = b; }
  void Add32(std::uint32_t v) {
    for (unsigned s = 0; s < 32; s += 8) Add(static_cast<std::uint8_t>(v >> s));
  }
};

bool trapMode = false;
std::uint32_t cases = 0, failures = 0;

void Fail(const Instruction& instruction, const char* what) {
  if (++failures > 40) return;
  Write("FAILED ");
  Write(what);
  Write(":");
  for (std::size_t i = 0; i < instruction.length; ++i) {
    Write(" ");
    WriteNumber(instruction.bytes[i], 16);
  }
  Write("\n");
}

bool SameRegisters(const Registers& a, const Registers& b) {
  for (unsigned i = 0; i < 8; ++i) {
    if (a.general[i] != b.general[i]) return false;
  }
  return true;
}

void Check(const Instruction& instruction, const Registers& start) {
  ++cases;
  Registers expected = start;
  const std::size_t taken = tarvo::p6::CarryOutConditionalMove(
      instruction.bytes, instruction.length, expected, ReadData, nullptr);
  if (taken != instruction.length) return Fail(instruction, "length taken");
  machine.in = start;
  EmitRun(instruction.bytes, instruction.length);
  const std::uint32_t trapsBefore = traps;
  RunForReal();
  if (trapMode && traps != trapsBefore + 1) return Fail(instruction, "did not trap");
  if (!SameRegisters(machine.out, expected)) return Fail(instruction, "registers");
  // Only the flags the instruction could touch; it touches none.
  constexpr std::uint32_t Arithmetic = 0x8D5;
  if ((machine.out.flags & Arithmetic) != (start.flags & Arithmetic)) {
    return Fail(instruction, "flags");
  }
}

Registers StartState(std::uint32_t seed, std::uint32_t flags, bool pointers) {
  Registers r;
  for (unsigned i = 0; i < 8; ++i) {
    const std::uint32_t noise = Mix(seed * 8 + i);
    r.general[i] = pointers ? RegisterLow + noise % RegisterSpan : noise;
  }
  // The stack pointer must point at memory in either case.
  r.general[Esp] = RegisterLow + Mix(seed) % RegisterSpan;
  r.flags = FlagsBase | flags;
  return r;
}

Instruction ConditionalMove(bool word, unsigned condition, std::uint8_t modRm) {
  Instruction i;
  if (word) i.Add(0x66);
  i.Add(0x0F);
  i.Add(static_cast<std::uint8_t>(0x40 | condition));
  i.Add(modRm);
  return i;
}

// Every condition under every combination of the five flags it reads.
void Conditions() {
  for (unsigned condition = 0; condition < 16; ++condition) {
    for (unsigned combination = 0; combination < 32; ++combination) {
      std::uint32_t flags = 0;
      for (unsigned bit = 0; bit < 5; ++bit) {
        if (combination & (1u << bit)) flags |= ConditionFlags[bit];
      }
      Check(ConditionalMove(false, condition, 0xC3 /* eax, ebx */),
            StartState(condition * 32 + combination, flags, false));
    }
  }
}

// Each pair of registers, both operand sizes, with the condition holding and not.
void RegisterForms() {
  for (unsigned word = 0; word < 2; ++word) {
    for (unsigned modRm = 0xC0; modRm <= 0xFF; ++modRm) {
      for (unsigned zero = 0; zero < 2; ++zero) {
        Check(ConditionalMove(word, 0x4 /* E */, static_cast<std::uint8_t>(modRm)),
              StartState(modRm * 4 + word * 2 + zero, zero ? ZeroFlag : 0, false));
      }
    }
  }
}

// Every ModRM and SIB addressing form, both operand sizes, condition holding
// and not: the memory is read either way.
void MemoryForms() {
  for (unsigned word = 0; word < 2; ++word) {
    for (unsigned mod = 0; mod < 3; ++mod) {
      for (unsigned rm = 0; rm < 8; ++rm) {
        for (unsigned sib = 0; sib < (rm == 4 ? 256u : 1u); ++sib) {
          for (unsigned holds = 0; holds < 2; ++holds) {
            const unsigned destination = (sib + rm + mod + holds) & 7;
            Instruction i = ConditionalMove(
                word, 0x5 /* NE */, static_cast<std::uint8_t>(mod << 6 | destination << 3 | rm));
            if (rm == 4) i.Add(static_cast<std::uint8_t>(sib));
            const bool absolute = (mod == 0 && rm == 5) || (mod == 0 && rm == 4 && (sib & 7) == 5);
            if (absolute) i.Add32(AbsoluteDisplacement);
            if (mod == 1) i.Add(static_cast<std::uint8_t>(0x80 + (sib * 37 + rm) % 256));
            if (mod == 2) i.Add32(0x1000 + (sib * 97 + rm) % 0x3000);
            const std::uint32_t seed = (word * 3 + mod) * 8192 + rm * 512 + sib * 2 + holds;
            Check(i, StartState(seed, holds ? 0 : ZeroFlag, true));
          }
        }
      }
    }
  }
}

// Prefixes the carrying out accepts: operand size, repeated, and the segment
// overrides whose base is 0 in every Win32 process.
void Prefixes() {
  const std::uint8_t sets[][3] = {{0x3E}, {0x2E, 0x66}, {0x66, 0x26}, {0x36, 0x66, 0x66}};
  const std::size_t lengths[] = {1, 2, 2, 3};
  for (std::size_t s = 0; s < 4; ++s) {
    const std::uint8_t forms[] = {0xD1 /* edx, ecx */, 0x16 /* edx, [esi] */};
    for (std::uint8_t modRm : forms) {
      Instruction i;
      for (std::size_t p = 0; p < lengths[s]; ++p) i.Add(sets[s][p]);
      i.Add(0x0F);
      i.Add(0x4F);
      i.Add(modRm);
      Check(i, StartState(900 + s * 2 + modRm, 0, true));
    }
  }
}

// What it must leave alone: registers untouched and length 0.
void Refusals() {
  struct Row {
    std::uint8_t bytes[8];
    std::size_t length;
    const char* why;
  };
  const std::uint32_t far = 0x7FFF0000;  // outside the data area
  const Row rows[] = {
      {{0x64, 0x0F, 0x44, 0x03}, 4, "an FS override"},
      {{0x65, 0x0F, 0x44, 0x03}, 4, "a GS override"},
      {{0x67, 0x0F, 0x44, 0x03}, 4, "an address size prefix"},
      {{0xF0, 0x0F, 0x44, 0x03}, 4, "a lock prefix"},
      {{0x0F, 0xAF, 0xC3}, 3, "another two-byte instruction"},
      {{0x89, 0xD8}, 2, "a plain move"},
      {{0x0F, 0x0B}, 2, "UD2 itself"},
      {{0x0F, 0x44}, 2, "no ModRM"},
      {{0x0F, 0x44, 0x04}, 3, "no SIB"},
      {{0x0F, 0x44, 0x05, 0x00, 0x00}, 5, "a displacement cut short"},
      {{0x0F, 0x44, 0x05, static_cast<std::uint8_t>(far), static_cast<std::uint8_t>(far >> 8),
        static_cast<std::uint8_t>(far >> 16), static_cast<std::uint8_t>(far >> 24)},
       7, "memory that cannot be read"},
  };
  for (const Row& row : rows) {
    ++cases;
    Registers r = StartState(7, ZeroFlag, true);
    const Registers before = r;
    Instruction shown;
    for (std::size_t b = 0; b < row.length; ++b) shown.Add(row.bytes[b]);
    if (tarvo::p6::CarryOutConditionalMove(row.bytes, row.length, r, ReadData, nullptr) != 0 ||
        !SameRegisters(r, before)) {
      Fail(shown, row.why);
    }
  }
}

bool Equal(const char* a, const char* b) {
  while (*a && *a == *b) ++a, ++b;
  return *a == *b;
}

int Run(int argc, char** argv) {
  if (argc != 2 || !(Equal(argv[1], "compare") || Equal(argv[1], "trap"))) {
    Write("usage: p6_instruction_probe compare|trap\n");
    return 2;
  }
  trapMode = Equal(argv[1], "trap");
  if (!MapAt(DataArea, DataSize, false) || !MapAt(CodeArea, 0x1000, true)) {
    Write("FAILED: no memory at the fixed addresses\n");
    return 2;
  }
  for (std::uint32_t a = DataArea; a < DataArea + DataSize; ++a) {
    *reinterpret_cast<std::uint8_t*>(a) = PatternAt(a);
  }
  if (trapMode && !InstallFaultHandler()) {
    Write("FAILED: no SIGILL handler\n");
    return 2;
  }
  Conditions();
  RegisterForms();
  MemoryForms();
  Prefixes();
  Refusals();
  WriteNumber(cases - failures);
  Write(" of ");
  WriteNumber(cases);
  Write(trapMode ? " conditional moves trapped and carried out as the processor does\n"
                 : " conditional moves carried out as this processor does them\n");
  return failures == 0 ? 0 : 1;
}

}  // namespace

// The compiler may call these for copies and clears; no C library has them here.
extern "C" void* memcpy(void* to, const void* from, std::size_t count) {
  auto* t = static_cast<unsigned char*>(to);
  const auto* f = static_cast<const unsigned char*>(from);
  while (count--) *t++ = *f++;
  return to;
}

extern "C" void* memset(void* to, int value, std::size_t count) {
  auto* t = static_cast<unsigned char*>(to);
  while (count--) *t++ = static_cast<unsigned char>(value);
  return to;
}

extern "C" [[noreturn]] void ProbeMain(int argc, char** argv) {
  Syscall(SysExit, Run(argc, argv));
  __builtin_unreachable();
}

// The kernel leaves argc at the stack pointer, argv above it.
asm(".text\n.globl _start\n_start:\n"
    "\txorl %ebp, %ebp\n"
    "\tmovl (%esp), %eax\n"
    "\tleal 4(%esp), %edx\n"
    "\tandl $-16, %esp\n"
    "\tsubl $8, %esp\n"
    "\tpushl %edx\n"
    "\tpushl %eax\n"
    "\tcall ProbeMain\n"
    "\thlt\n");
