#!/bin/sh
# Try bihua without a spare console: boots a small Linux machine in QEMU
# (Debian's kernel, busybox) whose screen is a real framebuffer console, and
# runs the freshly built bihua on it with the given files. The machine's
# screen, keyboard and mouse are QEMU's window, or a VNC server on
# localhost when there is no display. Needs the Debian packages
# qemu-system-x86 and busybox-static; downloads Debian's kernel package once
# into tools/cache/vm/.
#
#   tools/vm/tryit.sh [--res WxH] [--size N|auto] [--binary PATH] [--vnc N] [FILE...]
#   tools/vm/tryit.sh --screenshot OUT.ppm [--wait S] [FILE...]   (no window)
# --size is bihua's text size: at --res 3840x2160 try --size auto (48).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
cache=${BIHUA_VM_CACHE:-$top/tools/cache/vm}
res=1024x768
binary=""
vnc=""
shot=""
wait=8
size=

usage() { sed -n '9,12p' "$0" | sed 's/^# *//' >&2; exit 2; }
while [ $# -gt 0 ]; do
    case "$1" in
        --res) res=$2; shift 2 ;;
        --size) size="--size $2"; shift 2 ;;
        --binary) binary=$2; shift 2 ;;
        --vnc) vnc=$2; shift 2 ;;
        --screenshot) shot=$2; shift 2 ;;
        --wait) wait=$2; shift 2 ;;
        --help|-h) usage ;;
        --) shift; break ;;
        -*) echo "tryit: unknown option $1" >&2; usage ;;
        *) break ;;
    esac
done
w=${res%x*}; h=${res#*x}
say() { echo "tryit: $*" >&2; }
die() { say "$*"; exit 1; }

missing=""
command -v qemu-system-x86_64 >/dev/null || missing="$missing qemu-system-x86"
[ -x /bin/busybox ] && ! ldd /bin/busybox >/dev/null 2>&1 || missing="$missing busybox-static"
[ -z "$missing" ] || die "install first: sudo apt-get install$missing"

# ---- the program: build it unless one is given
if [ -z "$binary" ]; then
    [ -f "$top/build/CMakeCache.txt" ] || cmake -S "$top" -B "$top/build" >/dev/null
    cmake --build "$top/build" -j2 --target bihua >/dev/null || die "the build failed"
    binary=$top/build/bihua
fi
[ -x "$binary" ] || die "no program at $binary"

# ---- the kernel: Debian's, downloaded once; its display and mouse modules
mkdir -p "$cache"
kdir=$(ls -d "$cache"/kernel-* 2>/dev/null | head -n1 || true)
if [ -z "$kdir" ] || [ ! -f "$kdir/load.order" ]; then
    pkg=$(apt-cache depends linux-image-amd64 2>/dev/null |
          awk '/Depends: linux-image-[0-9]/ {print $2; exit}')
    [ -n "$pkg" ] || die "apt-cache knows no linux-image-amd64 (run apt-get update)"
    deb=$(ls "$cache/${pkg}"_*.deb 2>/dev/null | head -n1 || true)
    if [ -z "$deb" ]; then
        say "downloading $pkg (about 70 MB, once)"
        (cd "$cache" && apt-get download -q $( [ "$(id -u)" = 0 ] && echo -o APT::Sandbox::User=root ) "$pkg") ||
            die "apt-get download $pkg failed"
        deb=$(ls "$cache/${pkg}"_*.deb | head -n1)
    fi
    ver=${pkg#linux-image-}
    tmp=$(mktemp -d "$cache/unpack.XXXXXX")
    say "unpacking the kernel and its display and mouse drivers"
    dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$tmp" --wildcards \
        './boot/vmlinuz-*' "./lib/modules/$ver/modules.builtin" \
        "./lib/modules/$ver/kernel/drivers/gpu/drm/*" "./lib/modules/$ver/kernel/drivers/input/*"
    kdir=$cache/kernel-$ver
    rm -rf "$kdir"; mkdir -p "$kdir/modules"
    cp "$tmp/boot/vmlinuz-$ver" "$kdir/vmlinuz"
    mods=$tmp/lib/modules/$ver
    # Each module after the ones it depends on (their "depends=" field).
    order=""
    add() {
        local f d
        case " $order " in *" $1 "*) return ;; esac
        grep -q "/$1.ko\$" "$mods/modules.builtin" && return
        f=$(find "$mods/kernel" -name "$1.ko" | head -n1)
        [ -n "$f" ] || die "module $1 is not in $pkg"
        for d in $(tr '\0' '\n' < "$f" | sed -n 's/^depends=//p' | tr ',' ' '); do add "$d"; done
        cp "$f" "$kdir/modules/"
        order="$order $1"
    }
    add bochs          # QEMU's VGA as /dev/fb0 (through DRM's fbdev emulation)
    add psmouse        # the PS/2 mouse behind /dev/input/mice
    printf '%s\n' $order > "$kdir/load.order"
    rm -rf "$tmp"
fi

# ---- the machine's files: busybox, init, bihua with its libraries, FILEs
root=$(mktemp -d "${TMPDIR:-/tmp}/bihua-vm.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/bin" "$root/lib/modules" "$root/etc" "$root/work" \
         "$root/dev" "$root/proc" "$root/sys" "$root/tmp"
cp /bin/busybox "$root/bin/busybox"
cp "$here/init" "$root/init"; chmod 755 "$root/init"
cp "$kdir"/modules/*.ko "$kdir/load.order" "$root/lib/modules/"
cp "$binary" "$root/bin/bihua"
for lib in $(ldd "$binary" | grep -o '/[^ ]*'); do
    mkdir -p "$root$(dirname "$lib")"
    cp -L "$lib" "$root$lib"
done
args="$size"
for f in "$@"; do
    if [ -f "$f" ]; then cp "$f" "$root/work/"; fi
    args="$args $(basename "$f")"
done
echo "$args" > "$root/etc/bihua-args"
echo 'root:x:0:0:root:/work:/bin/sh' > "$root/etc/passwd"
initrd=$cache/initrd.gz
(cd "$root" && find . | "$root/bin/busybox" cpio -o -H newc 2>/dev/null) | gzip -1 > "$initrd"

# ---- boot
vgamem=16
while [ $((vgamem * 1048576)) -lt $((w * h * 4 * 2)) ]; do vgamem=$((vgamem * 2)); done
append="console=ttyS0 quiet panic=-1 consoleblank=0 logo.nologo vt.global_cursor_default=0 video=Virtual-1:${w}x${h}"
set -- -machine pc -m 512 -no-reboot \
    -kernel "$kdir/vmlinuz" -initrd "$initrd" \
    -device "VGA,xres=$w,yres=$h,vgamem_mb=$vgamem" \
    -serial "file:$cache/console.log"
[ -e /dev/kvm ] && [ -w /dev/kvm ] && grep -qE 'vmx|svm' /proc/cpuinfo && set -- "$@" -accel kvm -cpu host

if [ -n "$shot" ]; then
    # No window: wait until bihua has started, give it time to draw, take a
    # picture of the screen through QEMU's monitor, and stop.
    mon=$root/monitor
    mkfifo "$mon.in" "$mon.out"
    rm -f "$cache/console.log"
    start=$(date +%s)
    qemu-system-x86_64 "$@" -display none -append "$append bihua.once" -monitor "pipe:$mon" &
    qemu=$!
    cat "$mon.out" > /dev/null &
    exec 3> "$mon.in"
    n=0
    until grep -q 'starting bihua' "$cache/console.log" 2>/dev/null; do
        n=$((n + 1)); [ $n -le 600 ] || { kill $qemu; die "bihua did not start (see $cache/console.log)"; }
        sleep 0.2
    done
    booted=$(date +%s)
    sleep "$wait"
    echo "screendump $shot" >&3
    sleep 1
    echo quit >&3
    wait $qemu || true
    say "booted in $((booted - start)) s; screen taken $wait s after bihua started: $shot"
    exit 0
fi

# A window where there is a display and QEMU can draw one (the package
# qemu-system-gui); VNC otherwise.
window=""
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] &&
   qemu-system-x86_64 -display help 2>/dev/null | grep -qE '^(gtk|sdl)$'; then
    window=1
fi
if [ -n "$vnc" ] || [ -z "$window" ]; then
    vnc=${vnc:-0}
    say "no display here: connect a VNC viewer to localhost:$((5900 + vnc)); Ctrl-C here stops the machine"
    set -- "$@" -display none -vnc "127.0.0.1:$vnc"
else
    say "the window grabs the mouse on a click; Ctrl-Alt-G lets it go"
fi
exec qemu-system-x86_64 "$@" -append "$append"
