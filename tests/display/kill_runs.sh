# Sourced by real_display_test.sh (mode kill). The game is killed with SIGKILL at random moments
# while it stores its settings (at quit) and its high scores (at a name's Enter), run after run,
# each run starting from what the last one left. Every stored file must then be the old one or
# the new one, never a torn mix, and the next start must take it. The moments are random; the
# verdict is not: a save that is not atomic fails whatever the timing.

KILL_RUNS=20
# Every fourth run plays a game and is killed while its name is stored; the others are killed
# while they quit.
GAME_EVERY=4
RANDOM=16

# A settings record unlike the defaults: music and sound off, volumes 7, start level 10 and the
# most garbage rows, so that a game ends within a few pieces.
SEED_SETTINGS='\x00\x00\x00\x07\x07\x06\x06\x06\x0a\x10\x00\x80'
BLANK_NAME=$(printf '\\x50%.0s' {1..26})
# A table of blank names and zero scores, which every game beats.
seed_table() {
    local row
    for row in 0 1 2 3 4 5 6 7; do
        printf "$BLANK_NAME"'000000'
        ((row < 7)) && printf '\r\n'
    done
    return 0
}
# The name typed in the game runs, "K" in the font's code (octal, as cmp -l prints it).
K_OCTAL=173

start_quickly() {
    start_game
    wait_for "the game's window" find_window
    read_geometry
    focus_game
}
start_to_title() {
    start_quickly
    point_at $PARK_X $PARK_Y
    wait_screen "the title"
}

# SIGKILL after a random pause of up to $1 milliseconds.
kill_soon() {
    sleep "$(awk -v ms=$((RANDOM % $1)) 'BEGIN { printf "%.3f", ms / 1000 }')"
    kill -KILL "$GAME_PID" 2>/dev/null
    wait_exit "$GAME_PID"
    [ "$STATUS" = 137 ] || [ "$STATUS" = 0 ] || fail "run $run ended with status $STATUS"
}

high_scores_from_menu() {
    press_until_changed space
    point_at $PARK_X $PARK_Y
    wait_screen "the main menu"
    open_high_scores
}

start_display

# The built-in table as the high-score screen shows it, for the last run to compare against.
start_to_title
high_scores_from_menu
keep built-in-table
BUILT_IN_TABLE=$KEPT
hold_until F12 "the game to exit" test -e "$WORK/status.$GAME_PID"
wait_exit "$GAME_PID"
[ "$STATUS" = 0 ] || fail "F12 ended the game with status $STATUS"

mkdir -p "$(dirname "$SETTINGS")" "$(dirname "$SCORES")"
printf "$SEED_SETTINGS" >"$SETTINGS"
seed_table >"$SCORES"

# The temporary files of killed saves beside the stored files, one name a line.
temporaries() {
    ls "$(dirname "$SETTINGS")" "$(dirname "$SCORES")" | grep -E '^(settings|highscores)\.bin\.[A-Za-z0-9]{6}$'
}

kills_in_store=0
leftovers=0
for ((run = 1; run <= KILL_RUNS; run++)); do
    cp "$SETTINGS" "$WORK/old-settings"
    cp "$SCORES" "$WORK/old-scores"
    if ((run % GAME_EVERY == 0)); then
        start_to_title
        press_until_changed space
        point_at_item $START_ITEM
        click_until_changed
        play_to_the_end "$WORK/old-scores" straight
        cp "$SCORES" "$WORK/placed-scores"
        wait_screen "the name entry"
        type_key k
        xdotool keydown Return
        kill_soon 500
        xdotool keyup Return
        # The placed table, or it with the name K in the new row.
        if ! cmp -s "$SCORES" "$WORK/placed-scores"; then
            differences=$(cmp -l "$WORK/placed-scores" "$SCORES" 2>&1)
            [ "$(wc -l <<<"$differences")" = 1 ] && [ "$(awk '{ print $3 }' <<<"$differences")" = $K_OCTAL ] ||
                fail "run $run left a table that is neither the placed one nor it named: $differences"
            kills_in_store=$((kills_in_store + 1))
        fi
        cmp -s "$SETTINGS" "$WORK/old-settings" || fail "run $run changed the settings without quitting"
    else
        start_quickly
        press m
        kill -TERM "$GAME_PID"
        kill_soon 1000
        if ! cmp -s "$SETTINGS" "$WORK/old-settings"; then
            # The new record: the old one (as the game took it) with the music switched.
            cp "$WORK/old-settings" "$WORK/new-settings"
            printf "\\x$(printf %02x $((1 - $(od -An -tu1 -j1 -N1 "$WORK/old-settings"))))" |
                dd of="$WORK/new-settings" bs=1 seek=1 conv=notrunc status=none
            cmp -s "$SETTINGS" "$WORK/new-settings" ||
                fail "run $run left settings that are neither the old nor the new: $(od -An -tx1 "$SETTINGS")"
            kills_in_store=$((kills_in_store + 1))
        fi
        cmp -s "$SCORES" "$WORK/old-scores" || fail "run $run changed the table without a game"
    fi
    leftovers=$((leftovers + $(temporaries | wc -l)))
    note "run $run: killed; settings $(od -An -tx1 "$SETTINGS" | xargs)"
done
note "$KILL_RUNS runs, $kills_in_store of them after a new file was in place; $leftovers temporary files left by kills"

# A temporary file of each store, as a kill leaves it, whatever the runs above left: the next
# start removes them all.
printf 'torn' >"$SETTINGS.Stale1"
printf 'torn' >"$SCORES.Stale2"
# The last files are taken: the game starts, shows the stored table, and stores the settings
# back unchanged at F12.
cp "$SETTINGS" "$WORK/old-settings"
start_to_title
[ -z "$(temporaries)" ] || fail "temporary files left after the next start: $(temporaries | xargs)"
high_scores_from_menu
same_images "$SHOT" "$BUILT_IN_TABLE" && fail "the stored table was not taken at the last start"
press_until_changed Escape
wait_screen "the main menu"
hold_until F12 "the game to exit" test -e "$WORK/status.$GAME_PID"
wait_exit "$GAME_PID"
[ "$STATUS" = 0 ] || fail "F12 ended the last run with status $STATUS"
cmp -s "$SETTINGS" "$WORK/old-settings" || fail "the last start did not take the stored settings"
