// The three songs: the calm title tune, the driving game tune and the short game-over tune,
// each an XM module that loops without a seam.
#include <stdexcept>
#include <string>

#include "assetgen.h"
#include "platform/resource_ids.h"
#include "song_instruments.h"
#include "song_writing.h"

namespace {

constexpr int BAR_ROWS = 16;
constexpr int PATTERN_ROWS = 64;
constexpr std::uint8_t EFFECT_VOLUME_SLIDE = 0xA;
constexpr std::uint8_t VOLUME_COLUMN_PAN_LEFT = 0xD0;
constexpr std::uint8_t VOLUME_COLUMN_PAN_RIGHT = 0xE0;

using Chords = std::vector<Chord>;

void DrumBars(XmPattern& pattern, const Part& part, const std::vector<DrumKit>& kit,
              const std::vector<std::string_view>& bars) {
    for (std::size_t i = 0; i < bars.size(); ++i) {
        if (bars[i].size() != BAR_ROWS) {
            throw std::logic_error("a drum bar that does not fill its rows: " +
                                   std::string(bars[i]));
        }
        Drums(pattern, static_cast<int>(i) * BAR_ROWS, part, kit, bars[i]);
    }
}

bool WriteModule(const std::string& dir, int id, const XmModule& module) {
    return WriteResourceFile(dir, "RCDATA", id, "xm", EncodeXm(module));
}

// Title and menu: F major at 112 beats a minute, pads, a bell that ripples with its echo, a
// flute that sings; soft drums come in for the second half.
XmModule TitleSong() {
    XmModule song;
    song.name = "Plemby! Title";
    song.channels = 12;
    song.linearFrequencies = true;
    song.speed = 6;
    song.tempo = 112;
    song.instruments = {PadInstrument(64),  BellInstrument(128), FluteInstrument(128),
                        BassInstrument(128), KickInstrument(),    SnareInstrument(),
                        HatInstrument()};
    const Part pads[3] = {{.channel = 0, .instrument = 1, .volume = 24, .panning = 80},
                          {.channel = 1, .instrument = 1, .volume = 22, .panning = 128},
                          {.channel = 2, .instrument = 1, .volume = 24, .panning = 176}};
    const Part bass{.channel = 3, .instrument = 4, .volume = 44, .panning = 128, .transpose = -12};
    const Part bell{.channel = 4, .instrument = 2, .volume = 26, .panning = 72, .transpose = 12};
    const Part bellEcho{.channel = 5, .instrument = 2, .volume = 12, .panning = 192, .transpose = 12};
    const Part flute{.channel = 6, .instrument = 3, .volume = 40, .panning = 120, .vibrato = 0x34,
                     .vibratoDelay = 4, .portamento = 0x0C};
    const Part fluteEcho{.channel = 7, .instrument = 3, .volume = 14, .panning = 200,
                         .vibrato = 0x34, .vibratoDelay = 4, .portamento = 0x0C};
    const Part counter{.channel = 8, .instrument = 3, .volume = 22, .panning = 56, .vibrato = 0x23,
                       .vibratoDelay = 6};
    const Part hats{.channel = 9, .instrument = 7, .volume = 14, .panning = 160};
    const Part kick{.channel = 10, .instrument = 5, .volume = 34, .panning = 128};
    const Part rim{.channel = 11, .instrument = 6, .volume = 18, .panning = 100};
    const std::vector<DrumKit> kit = {{'k', 5}, {'s', 6}, {'h', 7}};

    const std::string_view bellFigure = "1 5 8 0 8 5 3 5";
    const std::string_view bassFigure = "1 - - - - - 5 - 8 - - - 5 - - -";
    auto section = [&](const Chords& chords, const std::vector<std::string_view>& melody,
                       bool drums) {
        XmPattern p(PATTERN_ROWS, song.channels);
        Pad(p, 0, BAR_ROWS, pads, chords);
        Figure(p, 0, BAR_ROWS, 1, bass, chords, bassFigure);
        Figure(p, 0, BAR_ROWS, 2, bell, chords, bellFigure);
        Figure(p, 3, BAR_ROWS, 2, bellEcho, chords, bellFigure);
        if (!melody.empty()) {
            Bars(p, 2, BAR_ROWS, flute, melody);
            Bars(p, 2, BAR_ROWS, fluteEcho, melody, 3);
        }
        DrumBars(p, hats, kit, {"h.h.h.H.h.h.h.H.", "h.h.h.H.h.h.h.H.", "h.h.h.H.h.h.h.H.",
                                "h.h.h.H.h.hhh.H."});
        if (drums) {
            const std::vector<std::string_view> beat = {"K.......k.k.....", "K.......k.k.....",
                                                        "K.......k.k.....", "K.......k.k..k.."};
            DrumBars(p, kick, kit, beat);
            DrumBars(p, rim, kit, {"....s.......s...", "....s.......s...", "....s.......s...",
                                   "....s.......s.ss"});
        }
        return p;
    };

    const Chords intro = {{"F3"}, {"D3", true}, {"Bb3"}, {"C3"}};
    const Chords verse = {{"F3"}, {"A3", true}, {"Bb3"}, {"C3"}};
    const Chords answer = {{"D3", true}, {"Bb3"}, {"F3"}, {"C3"}};
    const Chords lift = {{"Bb3"}, {"C3"}, {"A3", true}, {"D3", true}};
    const Chords home = {{"G3", true}, {"C3"}, {"F3"}, {"F3"}};
    const Chords turn = {{"D3", true}, {"Bb3"}, {"G3", true}, {"C3"}};

    XmPattern introPattern = section(intro, {}, false);
    // The hats wait for the second half of the intro.
    for (int row = 0; row < 2 * BAR_ROWS; ++row) introPattern.At(row, hats.channel) = XmCell{};
    song.patterns.push_back(std::move(introPattern));
    song.patterns.push_back(section(verse,
                                    {"A4 - C5 - F5 - - E5", "E5 - - D5 C5 - - -",
                                     "D5 - F5 - Bb4 - C5 D5", "C5~ - - - - - ^ ."},
                                    false));
    song.patterns.push_back(section(answer,
                                    {"D5 - F5 - A5 - G5 F5", "F5 - - D5 Bb4 - C5 D5",
                                     "C5 - A4 - F4 - A4 C5", "Bb4 - - A4 G4~ - - -"},
                                    false));
    song.patterns.push_back(section(lift,
                                    {"D5~ - - - F5 - D5 -", "E5~ - - - G5 - E5 -",
                                     "C5 - E5 - A5 - G5 E5", "F5~ - - - - - ^ ."},
                                    true));
    song.patterns.push_back(section(home,
                                    {"Bb5 - A5 - G5 - D5 -", "G5 - - E5 C5 - D5 E5",
                                     "F5~ - - - - - - -", "- - - - A5> - ^ ."},
                                    true));
    XmPattern reprise = section(verse,
                                {"A4 - C5 - F5 - - E5", "E5 - - D5 C5 - - -",
                                 "D5 - F5 - Bb4 - C5 D5", "C5~ - - - - - ^ ."},
                                true);
    Bars(reprise, 2, BAR_ROWS, counter,
         {"F4~ - - - - - - -", "E4~ - - - - - - -", "D4 - - - F4~ - - -", "E4~ - - - - - ^ ."});
    song.patterns.push_back(std::move(reprise));
    song.patterns.push_back(section(turn,
                                    {"A4~ - - - - - - -", "F4 - - - D5~ - - -",
                                     "D5 - - - Bb4~ - - -", "C5~ - - - - - ^ ."},
                                    false));
    song.orders = {0, 1, 2, 3, 4, 5, 2, 6};
    song.restartPosition = 0;
    return song;
}

// The game: A minor at 150 beats a minute, a square lead with its echo, chip arpeggios, an
// octave bass and a full kit; a breakdown and a build before the tune comes round again.
XmModule GameSong() {
    XmModule song;
    song.name = "Plemby! Game";
    song.channels = 9;
    song.linearFrequencies = false;
    song.speed = 5;
    song.tempo = 125;
    song.instruments = {SquareLeadInstrument(64), BassInstrument(64), PluckInstrument(64),
                        PadInstrument(64),         KickInstrument(),  SnareInstrument(),
                        HatInstrument()};
    const Part lead{.channel = 0, .instrument = 1, .volume = 42, .panning = 128, .vibrato = 0x42,
                    .vibratoDelay = 3, .portamento = 0x03};
    const Part leadEcho{.channel = 1, .instrument = 1, .volume = 16, .panning = 208,
                        .vibrato = 0x42, .vibratoDelay = 3, .portamento = 0x03};
    const Part arp{.channel = 2, .instrument = 3, .volume = 24, .panning = 64};
    const Part bass{.channel = 3, .instrument = 2, .volume = 52, .panning = 128, .transpose = -12};
    const Part drums{.channel = 4, .instrument = 5, .volume = 46, .panning = 128};
    const Part hats{.channel = 5, .instrument = 7, .volume = 18, .panning = 176};
    const Part pads[3] = {{.channel = 6, .instrument = 4, .volume = 18, .panning = 90},
                          {.channel = 7, .instrument = 4, .volume = 16, .panning = 128},
                          {.channel = 8, .instrument = 4, .volume = 18, .panning = 166}};
    const std::vector<DrumKit> kit = {{'k', 5}, {'s', 6}, {'h', 7}};

    const std::string_view drive = "1 8 1 8 1 8 1 8";
    const std::vector<std::string_view> beat = {"K...S...K.k.S...", "K...S...K.k.S...",
                                                "K...S...K.k.S...", "K...S...K.k.S.ss"};
    const std::vector<std::string_view> hatBars(4, "hhHhhhHhhhHhhhHh");
    struct Section {
        Chords chords = {};
        std::vector<std::string_view> melody = {};
        int melodyStep = 2;
        bool pads = false;
        bool fullKit = true;
    };
    auto build = [&](const Section& s) {
        XmPattern p(PATTERN_ROWS, song.channels);
        Figure(p, 0, BAR_ROWS, 2, bass, s.chords, drive);
        Arpeggio(p, 0, BAR_ROWS, 4, arp, s.chords);
        DrumBars(p, hats, kit, hatBars);
        if (s.fullKit) DrumBars(p, drums, kit, beat);
        if (s.pads) Pad(p, 0, BAR_ROWS, pads, s.chords);
        if (!s.melody.empty()) {
            Bars(p, s.melodyStep, BAR_ROWS, lead, s.melody);
            Bars(p, s.melodyStep, BAR_ROWS, leadEcho, s.melody, 3);
        }
        return p;
    };

    XmPattern intro = build({.chords = {{"A3", true}, {"A3", true}, {"F3"}, {"G3"}}});
    // Bass and hats alone for two bars, the kit joins for the next two.
    for (int row = 0; row < 2 * BAR_ROWS; ++row) intro.At(row, drums.channel) = XmCell{};
    song.patterns.push_back(std::move(intro));
    song.patterns.push_back(build({.chords = {{"A3", true}, {"F3"}, {"G3"}, {"E3"}},
                                   .melody = {"A4 - E5 - D5 C5 B4 C5", "A4 - - C5 F5 - E5 D5",
                                              "D5 - - B4 G4 - D5 -", "E5~ - - - G#5 - - -"}}));
    song.patterns.push_back(build({.chords = {{"A3", true}, {"F3"}, {"G3"}, {"A3", true}},
                                   .melody = {"A5 - - E5 C5 - A4 -", "A4 - - C5 F5 - A5 -",
                                              "G5 - F5 - E5 - D5 -", "E5 - - - A5~ - - ^"}}));
    song.patterns.push_back(build({.chords = {{"D3", true}, {"A3", true}, {"D3", true}, {"E3"}},
                                   .melody = {"F5 - - E5 D5 - A4 -", "C5 - - B4 A4 - E5 -",
                                              "F5 - - G5 A5 - F5 D5", "E5~ - - - B4 - G#4 -"},
                                   .pads = true}));
    song.patterns.push_back(build({.chords = {{"F3"}, {"G3"}, {"E3", true}, {"A3", true}},
                                   .melody = {"A5 - - G5 F5 - C5 -", "D5 - - E5 F5 - G5 -",
                                              "E5 - - D5 B4 - G4 B4", "A4~ - - - - - ^ ."},
                                   .pads = true}));
    XmPattern breakdown =
        build({.chords = {{"F3"}, {"G3"}, {"A3", true}, {"A3", true}},
               .melody = {"C5~ - A4 -", "B4 - D5> -", "C5~ - - -", "E5> - - ^"},
               .melodyStep = 4,
               .pads = true,
               .fullKit = false});
    Drums(breakdown, 3 * BAR_ROWS, drums, kit, "K.......K.......");
    song.patterns.push_back(std::move(breakdown));
    XmPattern rise = build({.chords = {{"D3", true}, {"E3"}, {"F3"}, {"E3"}},
                            .melody = {"D5 - F5 - A5 - F5 -", "E5 - G#5 - B5 - G#5 -",
                                       "A5 - G5 - F5 - E5 -", "E5~ - - - D5 - B4 -"},
                            .pads = true});
    for (int row = 3 * BAR_ROWS; row < PATTERN_ROWS; ++row) rise.At(row, drums.channel) = XmCell{};
    Drums(rise, 3 * BAR_ROWS, drums, kit, "S.s.S.s.SsSsSSSS");
    song.patterns.push_back(std::move(rise));

    song.orders = {0, 1, 2, 3, 4, 1, 2, 5, 6, 1, 2, 3, 4, 1, 2, 5, 6};
    song.restartPosition = 1;
    return song;
}

// Game over: a slow A minor lament on four channels: a flute that sighs and slides, a bell
// that ripples, a fading bass and a shimmering pad that drifts from side to side.
XmModule GameOverSong() {
    constexpr int BAR = 64;  // one bar a pattern at 16 rows a beat
    XmModule song;
    song.name = "Plemby! Game Over";
    song.channels = 4;
    song.linearFrequencies = true;
    song.speed = 3;
    song.tempo = 240;
    song.instruments = {FluteInstrument(128), BellInstrument(128), BassInstrument(128),
                        PadInstrument(64)};
    const Part flute{.channel = 0, .instrument = 1, .volume = 56, .panning = 128, .vibrato = 0x26,
                     .vibratoDelay = 10, .portamento = 0x02};
    const Part bell{.channel = 1, .instrument = 2, .volume = 30, .panning = 80, .transpose = 12};
    const Part bass{.channel = 2, .instrument = 3, .volume = 54, .panning = 128, .transpose = -12};
    const Part pad{.channel = 3, .instrument = 4, .volume = 24, .panning = 64};

    const std::vector<Chord> chords = {{"A3", true}, {"F3"}, {"D3", true}, {"E3"}};
    const std::vector<std::vector<std::string_view>> melodies = {
        {"E5~ - - - D5 - C5 -", "C5~ - - - A4 - - -", "D5 - - - F5 - E5 D5",
         "B4~ - - - G#4> - ^ ."},
        {"A5~ - - - G5 - E5 -", "F5~ - - - C5 - A4 -", "D5 - F5 - A5 - G5 F5",
         "E5~ - - - - - ^ ."}};
    for (const auto& melody : melodies) {
        for (int bar = 0; bar < 4; ++bar) {
            XmPattern p(BAR, song.channels);
            const std::vector<Chord> one = {chords[static_cast<std::size_t>(bar)]};
            Line(p, 0, 8, flute, melody[static_cast<std::size_t>(bar)]);
            Figure(p, 0, BAR, 8, bell, one, "1 5 8 5 0 5 8 5");
            Figure(p, 0, BAR, BAR, bass, one, "1");
            // The bass fades through the bar; the pad's arpeggio drifts across and back.
            for (int row = 16; row < BAR; row += 3) {
                Effect(p, row, bass.channel, EFFECT_VOLUME_SLIDE, 0x01);
            }
            Arpeggio(p, 0, BAR, BAR, pad, one);
            const std::uint8_t drift = bar % 2 == 0 ? VOLUME_COLUMN_PAN_RIGHT : VOLUME_COLUMN_PAN_LEFT;
            for (int row = 3; row < BAR; row += 3) p.At(row, pad.channel).volume = drift | 0x1;
            song.patterns.push_back(std::move(p));
        }
    }
    for (int i = 0; i < static_cast<int>(song.patterns.size()); ++i) song.orders.push_back(i);
    song.restartPosition = 0;
    return song;
}

}  // namespace

bool GenerateSongs(const std::string& dir) {
    bool ok = WriteModule(dir, TITLE_SONG_ID, TitleSong());
    ok = WriteModule(dir, GAME_SONG_ID, GameSong()) && ok;
    ok = WriteModule(dir, GAME_OVER_SONG_ID, GameOverSong()) && ok;
    return ok;
}
