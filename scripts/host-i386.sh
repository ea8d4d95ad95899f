# Sourced by the Windows scripts: host_runs_i386 tells whether this machine
# runs 32-bit x86 programs, which 32-bit Wine (the i686 build's tests, the
# NSIS installer) needs. Some kernels are built or booted without that.
host_runs_i386() {
  if [ -z "${TSIS_HOST_RUNS_I386:-}" ]; then
    local dir
    dir="$(mktemp -d)"
    # A program of its own without any library: only the kernel is asked.
    printf 'void _start(void) { __asm__ volatile("movl $1, %%eax\\n\\txorl %%ebx, %%ebx\\n\\tint $0x80"); }\n' \
      > "$dir/probe.c"
    # Only a probe the kernel refused says no: one that cannot be built says nothing,
    # and everything is run as on any other machine.
    TSIS_HOST_RUNS_I386=yes
    if gcc -m32 -nostdlib -static -o "$dir/probe" "$dir/probe.c" 2>/dev/null && ! "$dir/probe" 2>/dev/null; then
      TSIS_HOST_RUNS_I386=no
    fi
    rm -rf "$dir"
    export TSIS_HOST_RUNS_I386
  fi
  [ "$TSIS_HOST_RUNS_I386" = yes ]
}
