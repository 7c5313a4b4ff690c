#include "registration/built_in_checks.h"

#include "log/log_file.h"
#include "registration/html_association.h"
#include "registration/script_error.h"

namespace tarvo {

void RunBuiltInChecks() {
  LogLine("C00: (start uitvoeren alle ingebouwde checks)");
  SolveScriptErrorIE();
  LogLine("C01: (SolveScriptErrorIE uitgevoerd)");
  RegistreerHTM();
  LogLine("C02: (RegistreerHTM uitgevoerd)");
}

}  // namespace tarvo
