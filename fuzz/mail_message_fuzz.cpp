// A saved mail (.eml) as arbitrary bytes: its headers, multipart bodies
// and transfer encodings, and each part it gives read as a log.
#include "fuzz_world.h"
#include "helpdesk/mail_message.h"
#include "log_reading_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for (tarvo::MailPart& part : tarvo::MailParts(tarvo::Text(data, size))) {
    tarvo::CheckLogReading(std::move(part.bytes));
  }
  return 0;
}
