# Sourced by scripts/test and scripts/demo: the two Wine tiers, 32 and 64,
# and whether this machine can run each. A tier runs where its Wine loader
# runs at all; a kernel without 32-bit emulation refuses the 32-bit one with
# "Exec format error".

# scripts/setup writes here why it could not install 32-bit Wine.
wine32_note=build/wine32-not-installed.txt

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
  if [ "$1" = 32 ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "not installed: $(cat "$wine32_note" 2>/dev/null || echo 'wine32:i386 is missing; scripts/setup installs it')"
    return
  fi
  if ! output=$("$loader" --version 2>&1); then
    output=$(echo "${output:-no output}" | tail -n 1)
    echo "$loader cannot run here: ${output##*: }"
  fi
}
