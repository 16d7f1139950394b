# The shared start of the end-to-end scripts, sourced after they have set
# src, bin, prefix and uidriver.
wine=("$src/scripts/wine" --prefix "$prefix")
key='HKLM\Software\Moravel\Quenlor Server'
status=0
fail() { echo "FAIL: $*"; status=1; }

# Skips (77) where the run cannot happen at all: a Wine that cannot start
# Windows programs (uidriver without arguments answers 2), or a build without
# the sealed scripts. Neither is a failure of the program.
require_platform() {
  local probe_rc=0
  timeout 120 "${wine[@]}" "$uidriver" >/dev/null 2>&1 || probe_rc=$?
  if [ "$probe_rc" != 2 ]; then
    echo "SKIP: $prefix Wine cannot run Windows programs here (probe exit $probe_rc)"
    exit 77
  fi
  if [ "$(ls "$bin"/dist/*En.dat 2>/dev/null | wc -l)" -lt 7 ]; then
    echo "SKIP: the sealed scripts are not in $bin/dist (build the sealed_scripts target)"
    exit 77
  fi
}

# ctest's RESOURCE_LOCK orders the runs of one build tree; builds of other
# trees share the same Wine registry, so the server's key is also taken by a
# lock file beside the prefix while this run owns it.
take_registry_lock() {
  exec 8>"$src/build/wine-$prefix.quenlor-registry.lock"
  flock -w 170 8 || { echo "FAIL: the registry lock stayed taken"; exit 1; }
}
