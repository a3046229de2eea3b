// Sound: the effects each play sounds, in order, through the counting sound;
// the generated WAV sources; the WAV reader's refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "start/startup.h"
#include "game/play_state.h"
#include "platform/input.h"
#include "platform/headless.h"
#include "platform/sound.h"
#include "tests/rules_harness.h"
#include "start/headless_start.h"
#include "tools/session/replay.h"
#include "tools/sound/synth.h"
#include "ui/player_set.h"
#include "ui/window_game.h"

using namespace rulestest;
using testsupport::Record;

namespace {

// The replay of `events` on `rows` (level 0, in play at once; start -1: from
// the title, with 35 copies of the board) with sound on or off: the report,
// and the sounds line when on. The player set is left as it was found.
std::string playWithSound(const Rows& rows, const std::string& events, bool sounds, int start = 0) {
    std::vector<Record> records(start < 0 ? 35 : 1, record(rows));
    testsupport::writeLevelFile(dataDir() + "/data.lvl", records);
    std::vector<session::EventGroup> groups;
    session::ReplayResult result;
    std::string error;
    session::ReplaySetup setup;
    setup.dataDir = dataDir();
    setup.levelFile = dataDir() + "/data.lvl";
    setup.start = start;
    setup.sounds = sounds;
    setup.set = playerSet();  // a test may start muted
    const bool played = session::parseEvents({events}, groups, error) && session::playReplay(setup, groups, result, error);
    playerSet() = PlayerSet();
    sound::close();
    if (!played) return "error: " + error;
    return session::replayReport(result.quit) + (sounds ? session::soundReport() : "");
}

std::string soundsOf(const Rows& rows, const std::string& events, int start = 0) {
    const std::string report = playWithSound(rows, events, true, start);
    const std::size_t line = report.rfind("sounds");
    return line == std::string::npos ? report : report.substr(line);
}

}  // namespace

TEST(SoundCues, ShotThroughTwoMirrorsIntoABrickWall) {
    const Rows room = {"#####", "#r.7#", "#..%#", "#T..#"};
    EXPECT_EQ(soundsOf(room, "Space"), "sounds shot mirror mirror brick-hit\n");
    EXPECT_EQ(soundsOf(room, "Space Space"),
              "sounds shot mirror mirror brick-hit shot mirror mirror brick-hit brick-fall\n");
}

TEST(SoundCues, MovesPushesAndTheWater) {
    EXPECT_EQ(soundsOf({"#~#", "#O#", "#.#", "#T#"}, "Up Up Right"), "sounds move push sink turn\n");
    // A mirror is gone with a splash; a block on a sunk block is no splash.
    EXPECT_EQ(soundsOf({"#~#", "#q#", "#T#"}, "Up"), "sounds push splash\n");
    EXPECT_EQ(soundsOf({"#s#", "#O#", "#T#"}, "Up"), "sounds push\n");
    // Turning about: one turn, however long.
    EXPECT_EQ(soundsOf({"#.#", "#T#"}, "Down Down"), "sounds turn\n");
}

TEST(SoundCues, AntiTanksShovedDestroyedAndFiring) {
    EXPECT_EQ(soundsOf({"#.#", "#>#", "#.#", "#T#"}, "Space"), "sounds shot shove\n");
    EXPECT_EQ(soundsOf({"#~#", "#>#", "#T#"}, "Space"), "sounds shot shove splash\n");
    EXPECT_EQ(soundsOf({"#v#", "#.#", "#T#"}, "Space"), "sounds shot antitank-destroyed\n");
    // The tank steps into its line: it fires, and the tank is gone.
    EXPECT_EQ(soundsOf({"#v..#", "#....#", "#T...#"}, "Right Right Left Left"),
              "sounds turn move turn move antitank-fire tank-destroyed\n");
}

TEST(SoundCues, WinAndTheMenus) {
    EXPECT_EQ(soundsOf({"#G#", "#T#"}, "Up"), "sounds win\n");
    // Title to list, four highlight moves (Left at level 0 moves nothing
    // and says nothing), two pages, back, in again, play, pause, to the list.
    EXPECT_EQ(soundsOf({"#G#", "#T#"}, "Space Left Right Down Left Up PageDown PageUp Escape Space Enter Escape Escape", -1),
              "sounds menu-choose menu-move menu-move menu-move menu-move menu-move menu-move menu-choose "
              "menu-choose menu-choose menu-choose menu-choose\n");
    // A loss, then Enter to try again.
    EXPECT_EQ(soundsOf({"#v#", "#.#", "#.#", "#T#"}, "Up Enter"), "sounds move antitank-fire tank-destroyed menu-choose\n");
}

TEST(SoundCues, MuteAndTheSilentGame) {
    // M mutes (nothing is played) and unmutes, on any screen.
    EXPECT_EQ(soundsOf({"#G#", "#T#"}, "M Space M Right", -1), "sounds menu-move\n");
    // Started muted (--mute): silent until M.
    playerSet().muted = true;
    EXPECT_EQ(soundsOf({"#G#", "#T#"}, "Space M Right", -1), "sounds menu-move\n");
    // Sound on or off, the report is the same; without sound M is one more
    // unused key, as R is on the level list.
    const Rows room = {"#####", "#r.7#", "#..%#", "#T..#"};
    const std::string events = "Space Enter Right Right Up Space Space Escape";
    const std::string on = playWithSound(room, events, true, -1), off = playWithSound(room, events, false, -1);
    EXPECT_EQ(on.substr(0, on.rfind("sounds")), off);
    EXPECT_EQ(playWithSound(room, "Space M", false, -1), playWithSound(room, "Space R", false, -1));
}

TEST(SoundCues, NothingSoundsWithDrawingOff) {
    const Record level = record({"#####", "#r.7#", "#..%#", "#T..#"});
    session::startGameFromRecords(level.data(), 1, session::Drawing::Off);
    playerSet().sound = true;
    std::string warning;
    EXPECT_TRUE(startSound("", warning));
    session::enterLevel(0);
    session::playGroups({{{headless::Event::Key, KeySpace, 0, 0}}, {{headless::Event::Key, KeySpace, 0, 0}}});
    EXPECT_EQ(::game().play.board.at(3, 2).terrain, Rubble);
    EXPECT_TRUE(headless::stats().sounds.empty());
    playerSet() = PlayerSet();
    sound::close();
}

TEST(SoundTool, ReplaySoundsAddsOneLastLine) {
    const std::string dir = testsupport::makeDataDir("sound-replay", {record({"#.#", "#T#"})});
    const testsupport::ToolRun plain = testsupport::runTool("replay --data '" + dir + "' --start 0 Up");
    const testsupport::ToolRun counted = testsupport::runTool("replay --data '" + dir + "' --start 0 --sounds Up");
    EXPECT_EQ(counted.status, 0);
    EXPECT_EQ(counted.out, plain.out + "sounds move\n");
}

TEST(SoundSources, PaintSoundGivesTheCommittedFilesSampleForSample) {
    const std::string dir = testsupport::tempDir("paint-sound");
    std::string error;
    ASSERT_TRUE(synth::paintSounds(dir, error)) << error;
    for (int e = 0; e < sound::EffectCount; ++e) {
        const std::string name = std::string(sound::effectName(e)) + ".wav";
        EXPECT_TRUE(testsupport::readFile(dir + "/" + name) ==
                    testsupport::readFile(std::string(BRIMVALE_SOURCE_DIR) + "/data/sound/" + name))
            << name << " differs from data/sound: run brimvale-tool paint-sound";
    }
    EXPECT_EQ(testsupport::readFile(dir + "/manifest.txt"),
              testsupport::readFile(std::string(BRIMVALE_SOURCE_DIR) + "/data/sound/manifest.txt"));
    // The build's copy beside the packs is what the game loads.
    std::vector<sound::Sample> set;
    ASSERT_TRUE(sound::readSampleSet(std::string(BRIMVALE_DATA_BUILD_DIR) + "/sound", set, error)) << error;
    for (const sound::Sample& s : set) {
        EXPECT_EQ(s.rate, synth::SampleRate);
        EXPECT_GT(s.data.size(), 1000u);
    }
}

TEST(SoundSources, DamagedFilesAreRefusedWithTheirName) {
    std::vector<std::int16_t> samples(100, 1000);
    const std::string good = synth::wavBytes(samples, 22050);
    sound::Sample s;
    std::string error;
    ASSERT_TRUE(sound::parseWav("x.wav", good, s, error)) << error;
    EXPECT_EQ(s.data, samples);
    std::string stereo = good, eightBit = good, slow = good, hollow = synth::wavBytes({}, 22050);
    stereo[22] = 2;
    eightBit[34] = 8;
    slow[24] = 0x10, slow[25] = 0x1F, slow[26] = 0, slow[27] = 0;  // 7952 Hz
    const struct {
        std::string bytes, why;
    } bad[] = {{"", "not a RIFF WAVE file"},
               {good.substr(0, 60), "a chunk runs past the end of the file"},
               {stereo, "not mono 16-bit PCM (format 1, 2 channels, 16 bits)"},
               {eightBit, "not mono 16-bit PCM (format 1, 1 channels, 8 bits)"},
               {slow, "a rate of 7952 Hz"},
               {hollow, "holds 0 samples"},
               {good.substr(0, 36), "no data chunk"}};
    for (const auto& b : bad) {
        EXPECT_FALSE(sound::parseWav("x.wav", b.bytes, s, error));
        EXPECT_EQ(error, "x.wav: " + b.why);
        EXPECT_TRUE(s.data.empty());
    }
    std::vector<sound::Sample> set;
    EXPECT_FALSE(sound::readSampleSet("/nonexistent", set, error));
    EXPECT_EQ(error, "/nonexistent/turn.wav: cannot be opened");
}
