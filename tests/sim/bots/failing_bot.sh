#!/usr/bin/env bash
# A bot that fails on purpose, for the simulator's tests: it writes its pid
# to $1/pids, greets, plays greedy through pellaro-sim ($2) for $4 requests,
# then fails in the way $3 names.
folder=$1 program=$2 fault=$3 good=$4
echo $$ >> "$folder/pids"
# The tests read the simulator's own lines on the shared error output: a
# pipe's complaint once the simulator stops reading must not mix into them.
exec 2>/dev/null
[ "$fault" = exit-at-once ] && exit 3
read -r greeting
echo "pellaro-bot 1 failing-$fault"
# The good moves come from one served greedy bot, a coprocess for the whole
# game, not one per request, so that a slow (sanitized) server is started
# once. Its pipes are made before it starts, and it ends with its input,
# whenever this bot ends, however killed: nothing of it is left behind.
if [ "$good" -gt 0 ]; then
    coproc served { exec "$program" bot greedy; }
    # The tests wait for it to end, as for this bot.
    echo "$served_PID" >> "$folder/pids"
    echo "pellaro-bot 1" >&"${served[1]}"
    read -r _ <&"${served[0]}"
fi
n=0
while [ "$n" -lt "$good" ] && read -r request; do
    echo "$request" >&"${served[1]}"
    read -r reply <&"${served[0]}"
    echo "$reply"
    n=$((n + 1))
done
read -r request
case $fault in
exit-mid-game) exit 4 ;;
sleep) exec sleep 60 ;;
garbage) echo "hello there" ;;
illegal) case $request in move*) echo "T 5" ;; *) echo 5 ;; esac ;;
long) head -c 1048576 /dev/zero | tr '\0' x; echo ;;
trickle)
    # A byte every half second: each byte is news, the reply never done in time.
    i=0
    while [ "$i" -lt 20 ]; do printf x; sleep 0.5; i=$((i + 1)); done
    echo ;;
esac
# Stay until killed, so that only the simulator can end this bot.
exec sleep 60
