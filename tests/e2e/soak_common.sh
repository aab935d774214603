# Sourced by the soak tests (after common.sh): is the program alive, has its
# title changed, has its memory grown. They use PID, WINDOW, start and WORK.

# alive: fails when the program (PID) has ended, naming the last step done
# (STEP).
alive() {
    kill -0 "$PID" 2>/dev/null && return 0
    wait "$PID"
    fail "the program ended with status $? at $(elapsed "$start") s, after: ${STEP:-start}; stderr: $(cat "$WORK/stderr" 2>/dev/null)"
}

# watch_title: counts changes of the window's title (TITLE_CHANGES), the time
# of the last (LAST_CHANGE, seconds since start) and the title (LAST_TITLE);
# every new title must be a frame rate.
LAST_TITLE=Kvo TITLE_CHANGES=0 LAST_CHANGE=0
watch_title() {
    local title
    title=$(xdotool getwindowname "$WINDOW" 2>/dev/null) || return 0
    if [ "$title" != "$LAST_TITLE" ]; then
        [[ "$title" =~ ^Kvo\ [0-9]+\.[0-9]{2}\ fps$ ]] || fail "title \"$title\""
        LAST_TITLE=$title
        TITLE_CHANGES=$((TITLE_CHANGES + 1))
        LAST_CHANGE=$(elapsed "$start")
    fi
}

# titles_keep_coming SECONDS-RUN: waits up to three seconds for a new title,
# then checks that there were enough titles for SECONDS-RUN.
titles_keep_coming() {
    for _ in $(seq 30); do
        watch_title
        awk -v a="$(elapsed "$start")" -v b="$LAST_CHANGE" 'BEGIN { exit !(a - b < 2.5) }' && break
        sleep 0.1
    done
    [ "$TITLE_CHANGES" -ge $(($1 / 4)) ] || fail "only $TITLE_CHANGES new titles in $1 s"
    awk -v a="$(elapsed "$start")" -v b="$LAST_CHANGE" 'BEGIN { exit !(a - b < 4.5) }' ||
        fail "the title last changed at $LAST_CHANGE s, now $(elapsed "$start") s: no frames?"
    ok "$TITLE_CHANGES new titles, the last at $LAST_CHANGE s: \"$LAST_TITLE\""
}

# memory_growth LIMIT-KIB READING...: resident memory read once a round at
# the same point of the round. One reading can catch memory just freed but
# not yet given back, so a level is the lowest of up to three readings: the
# first ones against the last ones must grow by less than LIMIT-KIB.
memory_growth() {
    local limit=$1 first last group
    shift
    [ $# -ge 2 ] || fail "only $# memory readings"
    group=$(($# / 2))
    [ $group -le 3 ] || group=3
    first=$(printf '%s\n' "${@:1:$group}" | sort -n | head -n1)
    last=$(printf '%s\n' "${@: -$group}" | sort -n | head -n1)
    [ $((last - first)) -lt "$limit" ] ||
        fail "resident memory grew by $((last - first)) KiB, limit $limit; readings (KiB): $*"
    ok "resident memory $first -> $last KiB (+$((last - first)), limit $limit); readings: $*"
}

# run_rounds SETTLE: runs `round` until SECONDS_TO_RUN have passed, counting
# them (rounds) and watching the title; after WARM_UP seconds, reads resident
# memory at the end of each round, SETTLE seconds after it (READINGS).
run_rounds() {
    READINGS=()
    rounds=0
    until awk -v t="$(elapsed "$start")" -v end="$SECONDS_TO_RUN" 'BEGIN { exit !(t >= end) }'; do
        round
        rounds=$((rounds + 1))
        watch_title
        if awk -v t="$(elapsed "$start")" -v w="$WARM_UP" 'BEGIN { exit !(t >= w) }'; then
            sleep "$1"
            READINGS+=("$(rss_kb "$PID")")
        fi
    done
}
