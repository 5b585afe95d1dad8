#!/bin/sh
# Ensures the Wine root: a Debian 13 (trixie) system tree made by debootstrap,
# holding Wine 10 (32- and 64-bit), qemu-i386 and the zh_CN.UTF-8 locale.
# Run as root.
#
# The tree lives in KVX_WINE_ROOT (default /opt/kvx-wine), outside any work
# tree, so every checkout on this machine shares it. A finished tree is
# marked ready and this script then returns at once; an unfinished one (an
# earlier run that was stopped) is made again. A tree made before the
# launcher's last change gets only the launcher and the loader's copy anew. Concurrent runs wait for each
# other. Packages come from the Debian mirror this machine's apt uses, unless
# KVX_DEBIAN_MIRROR names another.
#
# Debian 12's own Wine 8 will not do: its command interpreter runs the right
# side of && and || whatever the left side's exit code, and ends a for body at
# a single &, so it cannot show what batch lines do on Windows.
#
# Some kernels run no 32-bit x86 code at all (ia32 emulation switched off:
# neither 32-bit programs nor a 32-bit code segment for WoW64). The 32-bit
# Wine loader is then started through qemu-i386 from the same tree; a small
# launcher put in its place decides at each start, so the tree serves both
# kinds of kernel. Through qemu-i386 it starts a fixed-address copy of the
# loader (scripts/wine-fixed-loader.pl): the position-independent one would
# sit where Windows programs without relocations must be loaded (0x400000),
# and Wine could not start them (setup packages made with NSIS among them).
#
# Use scripts/wine-run.sh to run a Windows program with this Wine.
set -eu

ROOT="${KVX_WINE_ROOT:-/opt/kvx-wine}"
TREE="$ROOT/rootfs"
READY="$ROOT/ready"
# Change when what debootstrap and apt put into the tree changes, so that
# existing trees are made anew.
RECIPE="trixie wine wine32:i386 wine64 qemu-user locales zh_CN.UTF-8 launcher v2"
# Change when the launcher or the loader's fixed-address copy changes: an
# existing tree gets only those anew, in a second, without a download.
LOADER="launcher v3, fixed-address loader v1"

made() { [ -f "$READY" ] && [ "$(sed -n 1p "$READY")" = "$RECIPE" ]; }
ready() { made && [ "$(sed -n 3p "$READY")" = "$LOADER" ]; }

if ready; then exit 0; fi

if [ "$(id -u)" -ne 0 ]; then
  echo "wine-setup: the Wine root $ROOT is missing or out of date; run this script as root" >&2
  exit 1
fi

mkdir -p "$ROOT"
exec 9>"$ROOT/.lock"
flock 9
if ready; then exit 0; fi  # made by a concurrent run while this one waited

here=$(cd "$(dirname "$0")" && pwd)
started=$(date +%s)

# The Debian 13 system with Wine, made anew from scratch.
make_tree() {
  if ! command -v debootstrap >/dev/null 2>&1; then
    echo "wine-setup: installing debootstrap"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
  fi

  mirror="${KVX_DEBIAN_MIRROR:-}"
  if [ -z "$mirror" ]; then
    # The first Debian archive (not the security one) that this machine's apt reads.
    mirror=$( (grep -h '^URIs:' /etc/apt/sources.list.d/*.sources 2>/dev/null |
               awk '{print $2}'; grep -h '^deb ' /etc/apt/sources.list 2>/dev/null |
               awk '{for (i = 2; i <= NF; i++) if ($i ~ /:\/\//) {print $i; break}}') |
             grep -v -- '-security' | grep '/debian/*$' | head -n 1)
  fi
  if [ -z "$mirror" ]; then
    echo "wine-setup: no Debian mirror found in apt's sources; set KVX_DEBIAN_MIRROR" >&2
    exit 1
  fi

  rm -rf "$TREE" "$READY"
  echo "wine-setup: debootstrap trixie into $TREE"
  debootstrap --variant=minbase trixie "$TREE" "$mirror" >"$ROOT/debootstrap.log" 2>&1 || {
    tail -n 20 "$ROOT/debootstrap.log" >&2
    exit 1
  }

  cp /etc/resolv.conf "$TREE/etc/resolv.conf" 2>/dev/null || true
  # No service starts inside the tree.
  printf '#!/bin/sh\nexit 101\n' >"$TREE/usr/sbin/policy-rc.d"
  chmod 755 "$TREE/usr/sbin/policy-rc.d"
  echo 'zh_CN.UTF-8 UTF-8' >"$TREE/etc/locale.gen"

  echo "wine-setup: installing Wine into the tree"
  # A private mount namespace: /proc and /dev vanish with it, whatever happens.
  unshare -m sh -eu -c '
    tree=$1
    mount -t proc proc "$tree/proc"
    mount --rbind /dev "$tree/dev"
    chroot "$tree" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
      DEBIAN_FRONTEND=noninteractive sh -eu -c "
        dpkg --add-architecture i386
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends \
          locales wine wine32:i386 wine64 qemu-user
        locale-gen
        apt-get clean
        dpkg-divert --local --rename --divert /usr/lib/wine/wine.real --add /usr/lib/wine/wine
      "
  ' sh "$TREE" >"$ROOT/install.log" 2>&1 || {
    tail -n 20 "$ROOT/install.log" >&2
    exit 1
  }

  version=$(chroot "$TREE" dpkg-query -W -f '${Version}' wine64 2>/dev/null || true)
  case "$version" in
    10.*) ;;
    *)
      echo "wine-setup: expected Wine 10 in the tree, found '$version'" >&2
      exit 1
      ;;
  esac

  printf '%s\n%s\n' "$RECIPE" "$version" >"$READY"
}
if ! made; then make_tree; fi
version=$(sed -n 2p "$READY")

# The launcher and the loader's copy are put in place by renames: a Wine
# that already runs from this tree starts its next process with the old
# launcher or the new one, never with a file half written.
perl "$here/wine-fixed-loader.pl" "$TREE/usr/lib/wine/wine.real" \
  "$TREE/usr/lib/wine/wine.fixed.new"
mv -f "$TREE/usr/lib/wine/wine.fixed.new" "$TREE/usr/lib/wine/wine.fixed"
cat >"$TREE/usr/lib/wine/wine.new" <<'LAUNCHER'
#!/bin/sh
# The 32-bit Wine loader (the real one is wine.real). Where the kernel runs no
# 32-bit code, qemu-i386 runs its copy linked at a fixed address (wine.fixed),
# which leaves 0x400000 free for Windows programs without relocations. Wine
# starts further processes through the path in argv[0], so that stays this
# launcher's path.
if /usr/lib/i386-linux-gnu/ld-linux.so.2 --version >/dev/null 2>&1; then
  exec /usr/lib/wine/wine.real "$@"
fi
exec /usr/bin/qemu-i386 -0 /usr/lib/wine/wine /usr/lib/wine/wine.fixed "$@"
LAUNCHER
chmod 755 "$TREE/usr/lib/wine/wine.new"
mv -f "$TREE/usr/lib/wine/wine.new" "$TREE/usr/lib/wine/wine"

printf '%s\n%s\n%s\n' "$RECIPE" "$version" "$LOADER" >"$READY.new"
mv -f "$READY.new" "$READY"
echo "wine-setup: Wine $version ready in $TREE ($(($(date +%s) - started)) s)"
