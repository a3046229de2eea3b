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
#include "ui/window_game.h"

using namespace layout;


void drawNumber(int x, int y, int number, std::uint32_t tint) {
    const int top = y + 12;
    if (number >= 100) {
        // Only three digit places fit a cell: beyond 999 the last three show.
        const int n = number % 1000;
        sprites().digitSprite.drawFrameTinted(x + 4, top, 0, n / 100, tint);
        sprites().digitSprite.drawFrameTinted(x + 18, top, 0, (n % 100) / 10, tint);
        sprites().digitSprite.drawFrameTinted(x + 32, top, 0, n % 10, tint);
    } else if (number >= 10) {
        sprites().digitSprite.drawFrameTinted(x + 11, top, 0, number / 10, tint);
        sprites().digitSprite.drawFrameTinted(x + 25, top, 0, number % 10, tint);
    } else if (number >= 0) {
        sprites().digitSprite.drawFrameTinted(x + 18, top, 0, number, tint);
    }
}

void drawBoardOf(const Game& g) {
    for (int b = 0; b < 4; ++b)
        for (int a = 0; a < 4; ++a) blitToScreen(packImage(Pack1Block::Background), 96, 96, 96 * b, 96 * a);
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            if (g.play.board.at(x, y).terrain != 0) blitToScreen(cellImage(g, x, y, true), 24, 24, 24 * y, 24 * x);
    if (g.play.outcome == Lost) return;
    sprites().tankCanvas.blit(cellImage(g, g.play.tank.x, g.play.tank.y, false), 0, 0, 24, 24);
    sprites().tankSprite.draw(0, 0, g.play.tank.angle);
    sprites().tankCanvas.present(24 * g.play.tank.x, 24 * g.play.tank.y);
}

namespace {

void drawTitle() { blitToScreen(packImage(Pack1Block::Title), ScreenWidth, ScreenHeight, 0, 0); }

void drawLevelSelect() {
    sprites().screenCanvas.blit(packImage(Pack2Block::LevelSelectBackground), 0, 0, ScreenWidth, ScreenHeight);
    const int first = game().play.page * LevelsPerPage;
    const int end = first + LevelsPerPage < game().levels.count ? first + LevelsPerPage : game().levels.count;
    for (int i = first; i < end; ++i) {
        const int x = levelCellX(i), y = levelCellY(i);
        if (i == game().play.level) {
            sprites().levelCellSprite.drawTinted(x, y, 0, HighlightTint);
            drawNumber(x, y, i + 1, HighlightTint);
        } else {
            sprites().levelCellSprite.draw(x, y, 0);
            drawNumber(x, y, i + 1, playerSet().save && progress::best(i) >= 0 ? WonTint : NumberTint);
        }
        if (playerSet().guide) guide::drawOverLevelSelect(x, y, i);
    }
    if (playerSet().guide) guide::drawUnderLevelList();
    if (game().play.page > 0) {
        sprites().arrowFrameSprite.draw(PageUpArrow.x, PageUpArrow.y, 0);
        sprites().arrowSprite.draw(PageUpGlyphX, PageUpGlyphY, 0);
    }
    if (game().levels.count / LevelsPerPage > game().play.page) {
        sprites().arrowFrameSprite.draw(PageDownArrow.x, PageDownArrow.y, 0);
        sprites().arrowSprite.draw(PageDownGlyphX, PageDownGlyphY, 180);
    }
    sprites().screenCanvas.present(0, 0);
}

void drawPlayingScreen() {
    drawBoardOf(game());
    if (playerSet().guide) guide::drawOverPlaying();
}

void blitButton(Pack2Block picture, const Rect& r) {
    sprites().screenCanvas.blit(packImage(picture), r.x, r.y, r.width, r.height);
}

void drawResult() {
    for (int b = 0; b < 4; ++b)
        for (int a = 0; a < 4; ++a) sprites().screenCanvas.blit(packImage(Pack1Block::Background), 96 * a, 96 * b, 96, 96);
    for (int y = 0; y < BoardSize; ++y)
        for (int x = 0; x < BoardSize; ++x)
            if (game().play.board.at(x, y).terrain != 0) sprites().screenCanvas.blit(cellImage(game(), x, y, true), 24 * x, 24 * y, 24, 24);
    if (game().play.outcome == InPlay) sprites().screenTankSprite.draw(24 * game().play.tank.x, 24 * game().play.tank.y, game().play.tank.angle);
    for (int b = 0; b < BoardSize; ++b)
        for (int a = 0; a < BoardSize; ++a) sprites().resultOverlaySprite.draw(24 * a, 24 * b, 0);
    if (game().play.outcome == InPlay || (game().play.outcome == Won && game().play.level < game().levels.count - 1))
        blitButton(Pack2Block::ButtonContinue, ContinueButton);
    blitButton(Pack2Block::ButtonRestart, RestartButton);
    blitButton(Pack2Block::ButtonLevels, LevelsButton);
    if (playerSet().guide) guide::drawOverResult(parOf(game().play.level));
    sprites().screenCanvas.present(0, 0);
}

}  // namespace

void drawScreen() {
    if (playerSet().counter || playerSet().guide) showCounterTitle();
    // The list's page follows its highlight whether the list is drawn or not:
    // the page keys and arrows go by it.
    if (game().play.screen == LevelSelect) game().play.page = game().play.level / LevelsPerPage;
    if (!display().drawing) {
        platform::pollEvents();
        return;
    }
    beginFrame();
    switch (game().play.screen) {
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

void redrawForRules(Game&) {
    noteWinsAndStarts();
    drawScreen();
}

void setScreen(Screen screen) {
    game().play.screen = screen;
    drawScreen();
}
