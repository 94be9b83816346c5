# Shared by the start-up benchmarks: a program beside a bare window of its
# kind, each started ten times, alternating, so that a busy moment of the
# machine falls on both alike. Source it.

# The median of ten times given in tenths of a millisecond, in milliseconds.
median() { printf '%s\n' $1 | sort -n | sed -n '5,6p' | awk '{s += $1} END {printf "%.1f", s / 20}'; }

# `start_ups LAUNCH BARE GAME`: LAUNCH PROBE starts a probe and prints when
# it painted (nanoseconds since the epoch) and its peak memory. Prints the
# two medians in milliseconds and the two peaks: "bare game bare_peak game_peak".
start_ups() {
  local launch=$1 start painted peak
  local -A times peaks
  for _ in $(seq 10); do
    for probe in "$2" "$3"; do
      start=$(date +%s%N)
      read -r painted peak < <("$launch" "$probe")
      times[$probe]+=" $(((painted - start) / 100000))"
      peaks[$probe]=$peak
    done
  done
  echo "$(median "${times[$2]}") $(median "${times[$3]}") ${peaks[$2]} ${peaks[$3]}"
}
