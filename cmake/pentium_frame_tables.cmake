# GCC's lookup of frame descriptions for exceptions (libgcc's
# unwind-dw2-fde.c), compiled for the processor the launcher is built for.
# Debian's copy in libgcc_eh was compiled for the Pentium Pro: at the first
# exception of a run (every run ends with one) it reads every frame
# description of the program, and its CMOV would fault some 27,000 times on
# a Pentium, each one carried out by the fault handler. Linked before
# libgcc_eh, this object takes that copy's place.
#
# The source is the one Debian built the cross compiler from (gcc-12-source,
# "Built-Using" of gcc-mingw-w64). The headers GCC's own build would make are
# written below: the file needs nothing of their target settings, which the
# compiler predefines itself under -fbuilding-libgcc.

find_file(TARVO32_GCC_SOURCE NAMES gcc-12.2.0-dfsg.tar.xz PATHS /usr/src/gcc-12 NO_DEFAULT_PATH
          NO_CMAKE_FIND_ROOT_PATH)
if(NOT TARVO32_GCC_SOURCE)
  message(FATAL_ERROR "GCC 12.2.0's sources (Debian's gcc-12-source) are missing: run scripts/setup")
endif()

set(frame_tables_dir ${CMAKE_CURRENT_BINARY_DIR}/frame_tables)
set(frame_tables_files
  libgcc/unwind-dw2-fde.c libgcc/unwind-dw2-fde.h libgcc/unwind-pe.h libgcc/gthr.h
  libgcc/config/i386/gthr-win32.h include/dwarf2.h include/dwarf2.def)
list(TRANSFORM frame_tables_files PREPEND gcc-12.2.0/ OUTPUT_VARIABLE frame_tables_members)
list(TRANSFORM frame_tables_files PREPEND ${frame_tables_dir}/ OUTPUT_VARIABLE frame_tables_sources)
add_custom_command(
  OUTPUT ${frame_tables_sources}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${frame_tables_dir}
  COMMAND tar -xJf ${TARVO32_GCC_SOURCE} -C ${frame_tables_dir} --strip-components=1 ${frame_tables_members}
  DEPENDS ${TARVO32_GCC_SOURCE}
  COMMENT "GCC's frame lookup, from ${TARVO32_GCC_SOURCE}")

set(frame_tables_config ${frame_tables_dir}/config)
foreach(empty tconfig.h tm.h libgcc_tm.h coretypes.h)
  file(WRITE ${frame_tables_config}/${empty} "/* Nothing of GCC's build is needed here. */\n")
endforeach()
file(WRITE ${frame_tables_config}/tsystem.h [=[
/* What GCC's tsystem.h gives the file, as a release build of GCC has it. */
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <limits.h>
#define gcc_assert(EXPR) ((void)(0 && (EXPR)))
#define gcc_unreachable() (abort ())
]=])
file(WRITE ${frame_tables_config}/gthr-default.h "#include \"config/i386/gthr-win32.h\"\n")

add_library(pentium_frame_tables OBJECT ${frame_tables_dir}/libgcc/unwind-dw2-fde.c)
target_include_directories(pentium_frame_tables PRIVATE
  ${frame_tables_config} ${frame_tables_dir}/libgcc ${frame_tables_dir}/include)
# As GCC builds libgcc; warnings of GCC's own code are not ours to mend.
target_compile_options(pentium_frame_tables PRIVATE -O2 -fexceptions -fbuilding-libgcc -w)
target_compile_definitions(pentium_frame_tables PRIVATE IN_LIBGCC2)
