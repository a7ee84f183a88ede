# later_allocations.awk: the allocations of 256 KiB or more after the first
# frame, from the probe's allocation log (bench/allocation_log.cpp), as one
# line: "<bytes> bytes at frame <n>, ..." or "none".
# Usage: awk -f later_allocations.awk ALLOCATIONS_FILE

$1 > 1 { printf "%s%d bytes at frame %d", n++ ? ", " : "", $2, $1 }
END { print n ? "" : "none" }
