#include <gtest/gtest.h>

#include <SDL.h>

#include <guichan/key.hpp>

#include "platform/toolkit/sdlguiinput.h"

namespace {

TEST(SdlGuiInputTest, KeysAndMouseLeaveInTheOrderTheyCame) {
  plat::SdlGuiInput in;
  in.InjectMouseMove(1, 1);
  in.InjectKey('a');
  in.InjectMousePress(2, 2);
  // guichan asks for keys first: the mouse move is older, so no key yet.
  EXPECT_TRUE(in.isKeyQueueEmpty());
  ASSERT_FALSE(in.isMouseQueueEmpty());
  EXPECT_EQ(in.dequeueMouseInput().getType(), static_cast<unsigned>(gcn::MouseInput::MOVED));
  EXPECT_TRUE(in.isMouseQueueEmpty());  // the press is younger than the key
  ASSERT_FALSE(in.isKeyQueueEmpty());
  EXPECT_EQ(in.dequeueKeyInput().getKey().getValue(), 'a');
  EXPECT_EQ(in.dequeueKeyInput().getType(), gcn::KeyInput::RELEASED);
  EXPECT_FALSE(in.isMouseQueueEmpty());
  EXPECT_EQ(in.dequeueMouseInput().getX(), 2);
  EXPECT_EQ(in.Pending(), 0u);
}

TEST(SdlGuiInputTest, SdlEventsBecomeGuichanInput) {
  plat::SdlGuiInput in;
  SDL_Event ev{};
  ev.type = SDL_MOUSEBUTTONDOWN;
  ev.button.button = SDL_BUTTON_LEFT;
  ev.button.x = 7;
  ev.button.y = 9;
  EXPECT_TRUE(in.PushEvent(ev));
  ev = SDL_Event{};
  ev.type = SDL_KEYDOWN;
  ev.key.keysym.sym = SDLK_a;  // printable: comes as text input instead
  EXPECT_FALSE(in.PushEvent(ev));
  ev.key.keysym.sym = SDLK_BACKSPACE;
  EXPECT_TRUE(in.PushEvent(ev));
  ev = SDL_Event{};
  ev.type = SDL_TEXTINPUT;
  SDL_strlcpy(ev.text.text, "中", sizeof ev.text.text);
  EXPECT_TRUE(in.PushEvent(ev));

  const gcn::MouseInput press = in.dequeueMouseInput();
  EXPECT_EQ(press.getButton(), static_cast<unsigned>(gcn::MouseInput::LEFT));
  EXPECT_EQ(press.getY(), 9);
  EXPECT_EQ(in.dequeueKeyInput().getKey().getValue(), gcn::Key::BACKSPACE);
  EXPECT_EQ(in.dequeueKeyInput().getKey().getValue(), 0x4E2D);
  EXPECT_EQ(in.dequeueKeyInput().getType(), gcn::KeyInput::RELEASED);
  EXPECT_TRUE(in.isKeyQueueEmpty());
}

}  // namespace
