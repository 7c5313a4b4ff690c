"""Runs a 32-bit Linux test program: natively where this machine can, else
under qemu-i386 (saying so). `--cpu MODEL` always runs it under qemu-i386
with that processor model."""

import errno
import subprocess
import sys


def main(arguments):
    cpu = None
    if arguments[:1] == ["--cpu"]:
        cpu, arguments = arguments[1], arguments[2:]
    if cpu:
        return subprocess.run(["qemu-i386", "-cpu", cpu, *arguments]).returncode
    try:
        return subprocess.run(arguments).returncode
    except OSError as error:
        if error.errno != errno.ENOEXEC:
            raise
    print("This machine cannot run 32-bit programs: under qemu-i386's processor instead.")
    return subprocess.run(["qemu-i386", *arguments]).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
