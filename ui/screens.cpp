// The four screens, composed into the screen buffer and presented.
#include "ui/screens.h"

#include "assets/packs.h"
#include "game/board.h"
#include "game/play_state.h"
#include "game/levels.h"
#include "game/painter.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "ui/conveniences.h"
#include "ui/guide.h"
#include "ui/layout.h"
#include "ui/player_set.h"
#include "ui/progress.h"

using namespace layout;


void drawNumber(int x, int y, int number, std::uint32_t tint) {
    const int top = y + 12;
    if (number >= 100) {
        // Only three digit places fit a cell: beyond 999 the last three show.
        const int n = number % 1000;
        digitSprite->drawFrameTinted(x + 4, top, 0, n / 100, tint);
        digitSprite->drawFrameTinted(x + 18, top, 0, (n % 100) / 10, tint);
        digitSprite->drawFrameTinted(x + 32, top, 0, n % 10, tint);
    } else if (number >= 10) {
        digitSprite->drawFrameTinted(x + 11, top, 0, number / 10, tint);
        digitSprite->drawFrameTinted(x + 25, top, 0, number % 10, tint);
    } else if (number >= 0) {
        digitSprite->drawFrameTinted(x + 18, top, 0, number, tint);
    }
}

namespace {

void drawTitle() { blitToScreen(packImage(Pack1Block::Title), ScreenWidth, ScreenHeight, 0, 0); }

void drawLevelSelect() {
    screenCanvas->blit(packImage(Pack2Block::LevelSelectBackground), 0, 0, ScreenWidth, ScreenHeight);
    const int first = play.page * LevelsPerPage;
    const int end = first + LevelsPerPage < levelCount ? first + LevelsPerPage : levelCount;
    for (int i = first; i < end; ++i) {
        const int x = levelCellX(i), y = levelCellY(i);
        if (i == play.level) {
            levelCellSprite->drawTinted(x, y, 0, HighlightTint);
            drawNumber(x, y, i + 1, HighlightTint);
        } else {
            levelCellSprite->draw(x, y, 0);
            drawNumber(x, y, i + 1, playerSet.save && progress::best(i) >= 0 ? WonTint : NumberTint);
        }
        if (playerSet.guide) guide::drawOverLevelSelect(x, y, i);
    }
    if (playerSet.guide) guide::drawUnderLevelList();
    if (play.page > 0) {
        arrowFrameSprite->draw(PageUpArrow.x, PageUpArrow.y, 0);
        arrowSprite->draw(PageUpGlyphX, PageUpGlyphY, 0);
    }
    if (levelCount / LevelsPerPage > play.page) {
        arrowFrameSprite->draw(PageDownArrow.x, PageDownArrow.y, 0);
        arrowSprite->draw(PageDownGlyphX, PageDownGlyphY, 180);
    }
    screenCanvas->present(0, 0);
}

void drawPlaying() {
    for (int b = 0; b < 4; ++b)
        for (int a = 0; a < 4; ++a) blitToScreen(packImage(Pack1Block::Background), 96, 96, 96 * b, 96 * a);
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            if (play.board.at(x, y).terrain != 0) blitToScreen(cellImage(x, y, true), 24, 24, 24 * y, 24 * x);
    if (play.outcome == Lost) return;
    tankCanvas->blit(cellImage(play.tank.x, play.tank.y, false), 0, 0, 24, 24);
    tankSprite->draw(0, 0, play.tank.angle);
    tankCanvas->present(24 * play.tank.x, 24 * play.tank.y);
}

void drawPlayingScreen() {
    drawPlaying();
    if (playerSet.guide) guide::drawOverPlaying();
}

void blitButton(Pack2Block picture, const Rect& r) {
    screenCanvas->blit(packImage(picture), r.x, r.y, r.width, r.height);
}

void drawResult() {
    for (int b = 0; b < 4; ++b)
        for (int a = 0; a < 4; ++a) screenCanvas->blit(packImage(Pack1Block::Background), 96 * a, 96 * b, 96, 96);
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            if (play.board.at(x, y).terrain != 0) screenCanvas->blit(cellImage(x, y, true), 24 * x, 24 * y, 24, 24);
    if (play.outcome == InPlay) screenTankSprite->draw(24 * play.tank.x, 24 * play.tank.y, play.tank.angle);
    for (int b = 0; b < BoardSize; ++b)
        for (int a = 0; a < BoardSize; ++a) resultOverlaySprite->draw(24 * a, 24 * b, 0);
    if (play.outcome == InPlay || (play.outcome == Won && play.level < levelCount - 1))
        blitButton(Pack2Block::ButtonContinue, ContinueButton);
    blitButton(Pack2Block::ButtonRestart, RestartButton);
    blitButton(Pack2Block::ButtonLevels, LevelsButton);
    if (playerSet.guide) guide::drawOverResult();
    screenCanvas->present(0, 0);
}

}  // namespace

void drawScreen() {
    if (playerSet.counter || playerSet.guide) showCounterTitle();
    // The list's page follows its highlight whether the list is drawn or not:
    // the page keys and arrows go by it.
    if (play.screen == LevelSelect) play.page = play.level / LevelsPerPage;
    if (!drawingEnabled) {
        platform::pollEvents();
        return;
    }
    beginFrame();
    switch (play.screen) {
        case Title: drawTitle(); break;
        case LevelSelect: drawLevelSelect(); break;
        case Playing: drawPlayingScreen(); break;
        case Result: drawResult(); break;
        default: break;  // nothing new: the buffer is shown as it stands
    }
    presentScreen();
    platform::swapBuffers();
    platform::pollEvents();
}

void setScreen(Screen screen) {
    play.screen = screen;
    drawScreen();
}
