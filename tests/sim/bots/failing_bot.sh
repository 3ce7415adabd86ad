#!/bin/sh
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
# The good moves come from one served greedy bot, through two pipes of the
# folder: one server for the whole game, not one per request, so that a slow
# (sanitized) server is started once. It ends with its input, when this bot ends.
if [ "$good" -gt 0 ]; then
    requests=$folder/requests.$$ replies=$folder/replies.$$
    mkfifo "$requests" "$replies"
    "$program" bot greedy < "$requests" > "$replies" &
    exec 3> "$requests" 4< "$replies"
    rm -f "$requests" "$replies"
    echo "pellaro-bot 1" >&3
    read -r served <&4
fi
n=0
while [ "$n" -lt "$good" ] && read -r request; do
    echo "$request" >&3
    read -r reply <&4
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
