// The panel's form data: every control and timer with its stored settings.

#include "panel/controller.h"
#include "panel/skin/skin.h"
#include "toolkit/application.h"

namespace panel {

namespace {

constexpr tk::Rect kPanelBounds{297, 229, 175, 258};

std::unique_ptr<ShapeButton> ActionButton(tk::Control* group, const char* name,
                                          tk::Rect bounds, int tab_order,
                                          const char* caption, bool word_wrap) {
  auto b = std::make_unique<ShapeButton>(group, name, bounds);
  b->SetTabOrder(tab_order, /*tab_stop=*/false);
  b->SetCaption(caption);
  b->SetColor(tk::clAqua);
  b->GroupIndex = 1;
  b->WordWrap = word_wrap;
  return b;
}

}  // namespace

TFormMouse::TFormMouse(tk::Application& app, input::PointerInjector& injector,
                       std::string executable_path)
    : tk::Form(app, "FormMouse", kPanelBounds),
      injector_(injector),
      executable_path_(std::move(executable_path)) {
  LoadFormData();
  BindEvents();
}

TFormMouse::~TFormMouse() = default;

void TFormMouse::LoadFormData() {
  Caption = "Mouse";
  Color = tk::clInfoBk;

  // Controls in stacking order: the surface first, bottom to top, then the
  // child windows.
  BgForm = std::make_unique<SkinImage>(this, "BgForm", tk::Rect{0, 0, 175, 258});
  // Placing the skin creates the window, hidden, and cuts it to the shape.
  CreateHandle();
  skin::Skin skin = skin::LoadBuiltInSkin();
  BgForm->SetPicture(std::move(skin.picture));
  SetShape(std::move(skin.shape));

  fcLabel1 = std::make_unique<ShadowLabel>(this, "fcLabel1", tk::Rect{48, 32, 28, 16}, "LEFT");
  fcLabel2 = std::make_unique<ShadowLabel>(this, "fcLabel2", tk::Rect{96, 32, 36, 16}, "RIGHT");
  AHMFadingLabel1 = std::make_unique<FadingLabel>(
      this, "AHMFadingLabel1", tk::Rect{66, 221, 39, 14}, "MOUSE", application().timers());
  AHMFadingLabel1->Color = tk::clHighlightText;
  AHMFadingLabel1->BetweenColors = 16;
  AHMFadingLabel1->FadeAlltheTime = true;
  AHMFadingLabel1->SetFadeSpeed(2);
  AHMFadingLabel1->SetFade(true);
  AHMFadingLabel1->SetShowing(false);

  MouseLbtn = std::make_unique<ButtonGroup>(this, "MouseLbtn", tk::Rect{32, 56, 57, 100});
  MouseLbtn->SetTabOrder(0, /*tab_stop=*/true);
  MouseLbtn->Color = tk::clAqua;
  MouseLbtnClick = ActionButton(MouseLbtn.get(), "MouseLbtnClick", {0, 0, 57, 33}, 2,
                                "Click", false);
  MouseLbtnDBclick = ActionButton(MouseLbtn.get(), "MouseLbtnDBclick", {0, 34, 57, 33}, 0,
                                  "Double Click", true);
  MouseLbtnDDclick = ActionButton(MouseLbtn.get(), "MouseLbtnDDclick", {0, 68, 57, 32}, 1,
                                  "Drag&&Drop Click", true);
  MouseLbtn->ArrangeButtons();

  MouseRbtn = std::make_unique<ButtonGroup>(this, "MouseRbtn", tk::Rect{96, 56, 49, 100});
  MouseRbtn->SetTabOrder(1, /*tab_stop=*/true);
  MouseRbtn->Color = tk::clBtnFace;
  MouseRbtnClick = ActionButton(MouseRbtn.get(), "MouseRbtnClick", {0, 0, 49, 100}, 0,
                                "Click", false);
  MouseRbtn->ArrangeButtons();

  BtnClose = std::make_unique<ShapeButton>(this, "BtnClose", tk::Rect{56, 193, 57, 17});
  BtnClose->SetTabOrder(2, /*tab_stop=*/false);
  BtnClose->SetCaption("Close");
  BtnClose->SetColor(tk::clSkyBlue);
  BtnClose->GroupIndex = 0;
  application().SetHint(BtnClose.get(), "ปิดโปรแกรมจ้า");

  PanelStatus = std::make_unique<StatusPanel>(this, "PanelStatus", tk::Rect{24, 160, 121, 25});
  PanelStatus->SetTabOrder(3, /*tab_stop=*/false);
  PanelStatus->SetCaption("5 sec");

  tk::TimerQueue& timers = application().timers();
  auto timer = [&timers](const char* name, std::uint32_t interval) {
    auto t = std::make_unique<tk::Timer>(timers, name);
    t->SetInterval(interval);
    return t;
  };
  TimerL = timer("TimerL", 5000);
  TimerDrop = timer("TimerDrop", kDropInterval);
  TimerClick = timer("TimerClick", kDwellInterval);
  TimerDB = timer("TimerDB", 5000);
  TimerDD = timer("TimerDD", 5000);
  TimerR = timer("TimerR", 5000);
}

void TFormMouse::BindEvents() {
  OnCreate = [this] { FormCreate(); };
  OnClose = [this] { FormClose(); };

  MouseLbtnClick->OnMouseEnter = [this](ShapeButton&) { MouseLbtnClickMouseEnter(); };
  MouseLbtnDBclick->OnMouseEnter = [this](ShapeButton&) { MouseLbtnDBclickMouseEnter(); };
  MouseLbtnDDclick->OnMouseEnter = [this](ShapeButton&) { MouseLbtnDDclickMouseEnter(); };
  MouseRbtnClick->OnMouseEnter = [this](ShapeButton&) { MouseRbtnClickMouseEnter(); };
  BtnClose->OnMouseEnter = [this](ShapeButton&) { BtnCloseMouseEnter(); };

  MouseLbtnClick->OnMouseLeave = [this](ShapeButton&) { MouseLbtnClickMouseLeave(); };
  MouseLbtnDBclick->OnMouseLeave = [this](ShapeButton&) { MouseLbtnDBclickMouseLeave(); };
  MouseLbtnDDclick->OnMouseLeave = [this](ShapeButton&) { MouseLbtnDDclickMouseLeave(); };
  MouseRbtnClick->OnMouseLeave = [this](ShapeButton&) { MouseRbtnClickMouseLeave(); };
  BtnClose->OnMouseLeave = [this](ShapeButton&) { BtnCloseMouseLeave(); };

  MouseLbtnClick->OnMouseDown = [this](ShapeButton&, tk::MouseButton, tk::Point) {
    MouseLbtnClickMouseDown();
  };
  MouseLbtnDBclick->OnMouseDown = [this](ShapeButton&, tk::MouseButton, tk::Point) {
    MouseLbtnDBclickMouseDown();
  };
  MouseLbtnDDclick->OnMouseDown = [this](ShapeButton&, tk::MouseButton, tk::Point) {
    MouseLbtnDDclickMouseDown();
  };
  MouseRbtnClick->OnMouseDown = [this](ShapeButton&, tk::MouseButton, tk::Point) {
    MouseRbtnClickMouseDown();
  };
  BtnClose->OnMouseDown = [this](ShapeButton&, tk::MouseButton, tk::Point) {
    BtnCloseMouseDown();
  };

  MouseLbtnClick->OnClick = [this](ShapeButton&) { MouseLbtnClickClick(); };
  MouseLbtnDBclick->OnClick = [this](ShapeButton&) { MouseLbtnDBclickClick(); };
  MouseLbtnDDclick->OnClick = [this](ShapeButton&) { MouseLbtnDDclickClick(); };
  MouseRbtnClick->OnClick = [this](ShapeButton&) { MouseRbtnClickClick(); };
  BtnClose->OnClick = [this](ShapeButton&) { BtnCloseClick(); };

  MouseLbtn->OnEnter = [this](ButtonGroup&) { MouseLbtnEnter(); };

  TimerClick->OnTimer = [this] { TimerClickTimer(); };
  TimerL->OnTimer = [this] { TimerLTimer(); };
  TimerDB->OnTimer = [this] { TimerDBTimer(); };
  TimerDD->OnTimer = [this] { TimerDDTimer(); };
  TimerR->OnTimer = [this] { TimerRTimer(); };
  TimerDrop->OnTimer = [this] { TimerDropTimer(); };
}

}  // namespace panel
