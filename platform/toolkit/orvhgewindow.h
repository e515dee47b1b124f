#pragma once
// A window of the game: a guichan container that routes its buttons' clicks to OnCommand
// and owns window timers.
//
// Callers may rely on:
//  - draw draws the visible children only (no background); drawExLayer is an extra layer the
//    frame draws after every widget; its default draws the ex layers of child windows;
//  - a click on a child OrvHgeButton calls OnCommand(button id) of the button's parent window;
//  - SetTimer(id, ms) starts or restarts a timer that calls OnTimer(id) every ms until
//    KillTimer(id) (or the window's destruction); timers fire from the frame loop through
//    plat::TimerQueue, with time from plat::GetClock();
//  - the window listens to its own mouse events (mouseMoved, mouseClicked... get the window's
//    coordinates) and is the action listener its children may be given;
//  - the death listener part is guichan's own (gcn::BasicContainer): a child that is deleted
//    leaves the window, and a deleted window lets go of its children.
// Ownership: a window never deletes its children, except those handed to Adopt.
#include <vector>

#include <guichan/actionevent.hpp>
#include <guichan/actionlistener.hpp>
#include <guichan/deathlistener.hpp>
#include <guichan/graphics.hpp>
#include <guichan/mouselistener.hpp>
#include <guichan/widgets/container.hpp>

class OrvHgeWindow : public gcn::Container,
                     public gcn::MouseListener,
                     public gcn::ActionListener {
 public:
  OrvHgeWindow();
  ~OrvHgeWindow() override;
  OrvHgeWindow(const OrvHgeWindow&) = delete;
  OrvHgeWindow& operator=(const OrvHgeWindow&) = delete;

  void add(gcn::Widget* w) override;  // null is ignored
  void add(gcn::Widget* w, int x, int y) override;

  void SetTimer(unsigned id, unsigned ms);
  void KillTimer(unsigned id);
  bool HasTimer(unsigned id) const;

  // Delivers queued button clicks first (see plat::ClickQueue), then the children's logic.
  void logic() override;
  void draw(gcn::Graphics* g) override;
  virtual void drawExLayer(gcn::Graphics* g);
  virtual void OnCommand(int id);
  virtual void OnTimer(unsigned id);
  void action(const gcn::ActionEvent& e) override;

  // The window deletes an adopted widget when it is destroyed (unless it was deleted first).
  void Adopt(gcn::Widget* w);

 private:
  // Forgets an adopted widget that someone else deleted first.
  class AdoptWatcher : public gcn::DeathListener {
   public:
    explicit AdoptWatcher(std::vector<gcn::Widget*>& adopted) : m_adopted(adopted) {}
    void death(const gcn::Event& event) override;

   private:
    std::vector<gcn::Widget*>& m_adopted;
  };

  std::vector<gcn::Widget*> m_adopted;
  AdoptWatcher m_watcher{m_adopted};
};
