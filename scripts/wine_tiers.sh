# Sourced by scripts/test and scripts/demo: the two Wine tiers, 32 and 64,
# and whether this machine can run each. A tier runs where its Wine loader
# runs at all; a kernel without 32-bit emulation refuses the 32-bit one with
# "Exec format error".

tier_loader() {  # <32|64>
  if [ "$1" = 64 ]; then echo /usr/lib/wine/wine64; else echo /usr/lib/wine/wine; fi
}

tier_preset() {  # <32|64>
  if [ "$1" = 64 ]; then echo win64; else echo win32; fi
}

# Prints nothing when the tier's loader runs here, else why it does not.
tier_problem() {  # <32|64>
  local loader output
  loader=$(tier_loader "$1")
  if ! output=$("$loader" --version 2>&1); then
    output=$(echo "${output:-no output}" | tail -n 1)
    echo "$loader cannot run here: ${output##*: }"
  fi
}
