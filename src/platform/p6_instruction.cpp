#include "platform/p6_instruction.h"

namespace tarvo::p6 {

namespace {

constexpr std::uint32_t CarryFlag = 1u << 0;
constexpr std::uint32_t ParityFlag = 1u << 2;
constexpr std::uint32_t ZeroFlag = 1u << 6;
constexpr std::uint32_t SignFlag = 1u << 7;
constexpr std::uint32_t OverflowFlag = 1u << 11;

constexpr std::uint8_t OperandSizePrefix = 0x66;
constexpr std::uint8_t TwoByteEscape = 0x0F;
constexpr std::uint8_t ConditionalMoveFirst = 0x40;
constexpr std::size_t LongestInstruction = 15;
constexpr unsigned StackPointer = 4;
constexpr unsigned NoIndex = 4;
constexpr unsigned BaseOnlyDisplacement = 5;

// CS, DS, ES and SS have base 0 in every Win32 process; FS and GS do not.
bool IsFlatSegmentOverride(std::uint8_t byte) {
  return byte == 0x26 || byte == 0x2E || byte == 0x36 || byte == 0x3E;
}

// The instruction's bytes, read front to back without running past the end.
class Bytes {
 public:
  Bytes(const std::uint8_t* code, std::size_t available)
      : code_(code), available_(available < LongestInstruction ? available : LongestInstruction) {}

  bool Take(std::uint8_t& byte) {
    if (used_ == available_) return false;
    byte = code_[used_++];
    return true;
  }
  bool Take32(std::uint32_t& value) {
    std::uint8_t byte = 0;
    value = 0;
    for (unsigned shift = 0; shift < 32; shift += 8) {
      if (!Take(byte)) return false;
      value |= std::uint32_t{byte} << shift;
    }
    return true;
  }
  bool TakeDisplacement(unsigned mod, std::uint32_t& value) {
    std::uint8_t byte = 0;
    if (mod == 1) {
      if (!Take(byte)) return false;
      value = static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int8_t>(byte)));
      return true;
    }
    return Take32(value);
  }
  std::size_t Used() const { return used_; }

 private:
  const std::uint8_t* code_;
  std::size_t available_;
  std::size_t used_ = 0;
};

// The address of a memory operand with 32-bit addressing: ModRM's mod and rm,
// then SIB and displacement as they follow.
bool EffectiveAddress(Bytes& bytes, unsigned mod, unsigned rm, const Registers& registers,
                      std::uint32_t& address) {
  std::uint32_t displacement = 0;
  if (rm != StackPointer) {
    if (mod == 0 && rm == BaseOnlyDisplacement) return bytes.Take32(address);
    if (mod != 0 && !bytes.TakeDisplacement(mod, displacement)) return false;
    address = registers.general[rm] + displacement;
    return true;
  }
  std::uint8_t sib = 0;
  if (!bytes.Take(sib)) return false;
  const unsigned scale = sib >> 6;
  const unsigned index = (sib >> 3) & 7;
  const unsigned base = sib & 7;
  const bool noBase = mod == 0 && base == BaseOnlyDisplacement;
  if (noBase && !bytes.Take32(displacement)) return false;
  if (mod != 0 && !bytes.TakeDisplacement(mod, displacement)) return false;
  address = displacement + (noBase ? 0 : registers.general[base]) +
            (index == NoIndex ? 0 : registers.general[index] << scale);
  return true;
}

}  // namespace

bool ConditionHolds(unsigned code, std::uint32_t flags) {
  const bool carry = flags & CarryFlag;
  const bool zero = flags & ZeroFlag;
  const bool sign = flags & SignFlag;
  const bool overflow = flags & OverflowFlag;
  bool holds = false;
  switch ((code >> 1) & 7) {
    case 0: holds = overflow; break;
    case 1: holds = carry; break;
    case 2: holds = zero; break;
    case 3: holds = carry || zero; break;
    case 4: holds = sign; break;
    case 5: holds = flags & ParityFlag; break;
    case 6: holds = sign != overflow; break;
    case 7: holds = zero || sign != overflow; break;
  }
  // The odd codes are the negations of the even ones.
  return (code & 1) ? !holds : holds;
}

std::size_t CarryOutConditionalMove(const std::uint8_t* code, std::size_t available,
                                    Registers& registers, MemoryReader read, void* context) {
  Bytes bytes(code, available);
  bool wordSized = false;
  std::uint8_t byte = 0;
  for (;;) {
    if (!bytes.Take(byte)) return 0;
    if (byte == OperandSizePrefix) {
      wordSized = true;
    } else if (!IsFlatSegmentOverride(byte)) {
      break;
    }
  }
  std::uint8_t opcode = 0;
  std::uint8_t modRm = 0;
  if (byte != TwoByteEscape || !bytes.Take(opcode) || (opcode & 0xF0) != ConditionalMoveFirst ||
      !bytes.Take(modRm)) {
    return 0;
  }
  const unsigned mod = modRm >> 6;
  const unsigned destination = (modRm >> 3) & 7;
  const unsigned rm = modRm & 7;
  std::uint32_t source = 0;
  if (mod == 3) {
    source = registers.general[rm];
  } else {
    std::uint32_t address = 0;
    if (!EffectiveAddress(bytes, mod, rm, registers, address) ||
        !read(address, wordSized ? 2 : 4, source, context)) {
      return 0;
    }
  }
  if (ConditionHolds(opcode & 0x0F, registers.flags)) {
    std::uint32_t& target = registers.general[destination];
    target = wordSized ? (target & 0xFFFF0000u) | (source & 0xFFFFu) : source;
  }
  return bytes.Used();
}

}  // namespace tarvo::p6
