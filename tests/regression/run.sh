#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The regression check: ostrand-cli on fixed files and against the simulated RIB, every case's
# exit status, standard output and error, the files it wrote, its debug log (times masked) and
# what the RIB received and the radio holds afterwards, compared with expected/. A difference
# is a change of behaviour: when it is meant, record the new transcripts with --record and
# commit them with the change that makes them.
#
#   tests/regression/run.sh BUILD_DIR [--record]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bin=$(cd "$1" && pwd)
record=${2:-}
work=$(mktemp -d)
sim_pid=
trap '[ -z "$sim_pid" ] || kill "$sim_pid" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/got"
cp "$here"/Ostrand.ini "$here"/*.DSX "$here"/*.csv "$work/"
cd "$work"
# Backups go to the work folder, never the user's.
export XDG_DATA_HOME="$work/data"
backup_blocked=
printf '%0256d' 0 | tr 0 E >kept.DSX

# Masks what differs between runs: log times, the pseudo-terminal's number, the work folder;
# shows CR.
clean() {
    sed -e 's/[0-9][0-9]:[0-9][0-9]:[0-9][0-9] : /hh:mm:ss : /' \
        -e 's/[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]_[0-9]\{6\}_/YYYY-MM-DD_hhmmss_/g' -e "s#${device:-/dev/pts/X}#DEVICE#g" \
        -e "s#$work#WORK#g" -e 's/\r/\\r/g' "$@"
}

# case NAME [SIM-OPTIONS --] CLI-ARGUMENTS...: with SIM-OPTIONS the simulated RIB runs with
# them (a Delta-SX radio holding channels.DSX unless they say otherwise) and the tool is
# given its device.
case_() {
    name=$1
    shift
    device=
    sim_args=
    if [ "${1:-}" = "--sim" ]; then
        shift
        while [ "$1" != "--" ]; do
            sim_args="$sim_args $1"
            shift
        done
        shift
        cp channels.DSX radio.DSX
        # The previous case's output must be gone before the simulator starts: its redirection
        # truncates the file only when the child runs, and the wait below would read the old
        # device.
        rm -f sim.out
        # shellcheck disable=SC2086
        "$bin/ribsim" --load radio.DSX --save radio.DSX $sim_args >sim.out 2>&1 &
        sim_pid=$!
        n=0
        while ! grep -q '^/dev/' sim.out 2>/dev/null && [ $n -lt 600 ]; do
            sleep 0.05
            n=$((n + 1))
        done
        device=$(grep -m 1 '^/dev/' sim.out)
        set -- "$@" --device "$device" --log op.log
    fi
    # A file the command may write: shown when it changed, so a refusal shows it kept.
    rm -f op.log
    rm -rf data
    # With backup_blocked set, the backup folder cannot be made.
    if [ -n "$backup_blocked" ]; then mkdir data && : >data/Ostrand; fi
    cp kept.DSX out.DSX
    set +e
    "$bin/ostrand-cli" "$@" >stdout 2>stderr
    status=$?
    set -e
    {
        echo "\$ ostrand-cli $*${sim_args:+ (ribsim$sim_args)}" | clean
        echo "exit $status"
        echo "--- standard output"
        clean stdout
        echo "--- standard error"
        clean stderr
        if ! cmp -s kept.DSX out.DSX; then
            echo "--- out.DSX"
            cat out.DSX
            echo
        fi
        if [ -n "$sim_pid" ]; then
            sleep 0.3
            kill "$sim_pid"
            wait "$sim_pid" || true
            sim_pid=
            echo "--- debug log"
            [ ! -e op.log ] || clean op.log # none when nothing was sent
            echo "--- received by the RIB"
            clean sim.out | grep '^< ' || true
            echo "--- the radio holds"
            cat radio.DSX
            echo
            for kept in data/Ostrand/backups/*; do
                [ -f "$kept" ] || continue
                echo "--- backup $kept" | clean
                cat "$kept"
                echo
            done
        fi
    } >"got/$name.txt"
}

case_ bands bands --config Ostrand.ini
for band in 1 2 3 4 5; do
    case_ "decode-garbled-band$band" decode garbled.DSX --config Ostrand.ini --band $band
    case_ "decode-channels-band$band" decode channels.DSX --config Ostrand.ini --band $band
done
case_ decode-overrides decode garbled.DSX --config Ostrand.ini --ref-freq 12.8 --if-freq 21.4 \
    --rx-mult 3 --tx-mult 2 --injection lo --invert-tx on --invert-rx off --cpu 16
case_ decode-ref-zero decode channels.DSX --config Ostrand.ini --ref-freq 0
case_ decode-short decode short.DSX --config Ostrand.ini
for band in 1 2 3 5; do
    case_ "encode-band$band" encode plan.csv -o out.DSX --config Ostrand.ini --band $band
done
case_ encode-high-x2 encode plan.csv -o out.DSX --config Ostrand.ini --injection hi --tx-mult 2
case_ encode-lost encode lost.csv -o out.DSX --config Ostrand.ini
case_ encode-unusable encode plan.csv -o out.DSX --config Ostrand.ini --band 4
"$bin/ostrand-cli" decode garbled.DSX --config Ostrand.ini --band 2 >decoded.csv
case_ encode-decoded encode decoded.csv -o out.DSX --config Ostrand.ini --band 2

# Comparisons: nothing, one field per column, bits the grid does not show, and no answer.
"$bin/ostrand-cli" encode plan.csv -o plan.DSX --config Ostrand.ini >/dev/null 2>&1
"$bin/ostrand-cli" encode columns.csv -o columns.DSX --config Ostrand.ini >/dev/null 2>&1
case_ diff-same diff plan.DSX plan.DSX --config Ostrand.ini
case_ diff-columns diff plan.DSX columns.DSX --config Ostrand.ini
case_ diff-columns-delta-s diff plan.DSX columns.DSX --config Ostrand.ini --cpu 16
case_ diff-hidden diff plan.DSX hidden.DSX --config Ostrand.ini
case_ diff-unreadable diff plan.DSX none.DSX --config Ostrand.ini
case_ diff-invalid diff short.DSX plan.DSX --config Ostrand.ini
case_ diff-one-file diff plan.DSX --config Ostrand.ini
case_ diff-no-config diff plan.DSX plan.DSX --config none.ini
case_ print-unreadable print none.DSX -o out.pdf --config Ostrand.ini

# Refusals: one line on standard error, a status that is not 0, nothing written.
sed '2s/.*/1,,,0,,,,0,0,,0,0,0/' plan.csv >fields13.csv
cat plan.csv >twice.csv && echo '2,,,0,,,,0,0,,0,0,0,0' >>twice.csv
sed '2s/.*/1,15x.5,,0,,,,0,0,,0,0,0,0/' plan.csv >nonumber.csv
mkfifo fifo
case_ refused-option decode channels.DSX --config Ostrand.ini --bogus
case_ refused-band decode channels.DSX --config Ostrand.ini --band 6
case_ refused-no-config decode channels.DSX --config none.ini
case_ refused-config-folder decode channels.DSX --config .
case_ refused-13-fields encode fields13.csv -o out.DSX --config Ostrand.ini
case_ refused-channel-twice encode twice.csv -o out.DSX --config Ostrand.ini
case_ refused-no-number encode nonumber.csv -o out.DSX --config Ostrand.ini
case_ refused-no-folder encode plan.csv -o no/such/x.DSX --config Ostrand.ini
case_ refused-fifo encode plan.csv -o fifo --config Ostrand.ini
case_ refused-ref-zero encode plan.csv -o out.DSX --config Ostrand.ini --ref-freq 0

# The radio operations, at a quarter of real time (answers come in milliseconds); a silent RIB
# at a twentieth, since its every wait times out anyway.
fast="--time-scale 0.25"
case_ read --sim -- read -o out.DSX --config Ostrand.ini $fast
case_ read-delta-s --sim --cpu 0x10 --revision 2 -- read -o out.DSX --config Ostrand.ini $fast
case_ read-bad-checksum --sim --bad-checksum 5 -- read -o out.DSX --config Ostrand.ini $fast
case_ read-no-rib --sim --silent all -- read -o out.DSX --config Ostrand.ini --time-scale 0.05
case_ read-unknown --sim --cpu 18 -- read -o out.DSX --config Ostrand.ini $fast
case_ verify-same --sim -- verify channels.DSX --config Ostrand.ini $fast
case_ verify-different --sim -- verify garbled.DSX --config Ostrand.ini $fast
case_ verify-delta-s --sim --cpu 0x10 --revision 2 -- verify garbled.DSX --config Ostrand.ini $fast
case_ verify-no-rib --sim --silent all -- verify channels.DSX --config Ostrand.ini --time-scale 0.05
case_ verify-bad-checksum --sim --bad-checksum 5 -- verify channels.DSX --config Ostrand.ini $fast
case_ write --sim -- write garbled.DSX --config Ostrand.ini $fast
case_ write-other-cpu --sim --cpu 0x10 --revision 2 -- write garbled.DSX --config Ostrand.ini $fast
case_ write-other-cpu-yes --sim --cpu 0x10 --revision 2 -- write garbled.DSX --config Ostrand.ini \
    --yes-cpu-mismatch $fast
case_ write-verify-failed --sim --compare-differ -- write garbled.DSX --config Ostrand.ini $fast
case_ read-no-backup --sim -- read -o out.DSX --config Ostrand.ini --no-backup $fast
case_ write-no-backup --sim -- write garbled.DSX --config Ostrand.ini --no-backup $fast
backup_blocked=1
case_ read-backup-failed --sim -- read -o out.DSX --config Ostrand.ini $fast
case_ write-backup-failed --sim -- write garbled.DSX --config Ostrand.ini $fast
backup_blocked=
case_ write-sid-silent --sim --silent SID -- write garbled.DSX --config Ostrand.ini $fast
case_ write-out-of-band --sim -- write channels.DSX --config Ostrand.ini --band 5 $fast
case_ write-out-of-band-allowed --sim -- write channels.DSX --config Ostrand.ini --band 5 \
    --allow-out-of-band $fast

if [ "$record" = "--record" ]; then
    rm -rf "$here/expected"
    cp -r got "$here/expected"
    echo "recorded $(ls got | wc -l) transcripts in $here/expected"
    exit 0
fi
if diff -ru "$here/expected" got; then
    echo "regression check: $(ls got | wc -l) transcripts as recorded"
else
    echo "regression check: the transcripts above differ from tests/regression/expected" >&2
    exit 1
fi
