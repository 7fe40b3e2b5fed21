# Shared by the bench scripts: the project's set-up, and how a run is timed and summed up.
# Sourced, not run.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/common.sh"

# Seconds since START (a `date +%s%N` reading), with a blank after it, to collect runs in a list.
seconds_since() {
    awk -v ns=$(($(date +%s%N) - $1)) 'BEGIN { printf "%.4f ", ns / 1e9 }'
}

# The median of the numbers on standard input, separated by blanks or lines.
median() {
    tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
