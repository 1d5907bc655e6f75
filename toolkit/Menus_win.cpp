// The Windows half of the menus: the system menu built from the item tree,
// the popup list's utility window that owns every tracked popup, and the
// plain owner-drawn look of items without handlers.
// Our headers before <windows.h>: the colour helpers of Types.h share their
// names with the system's GetRValue/GetGValue/GetBValue macros.
#include "toolkit/Menus.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>

#include "toolkit/Bitmap.h"
#include "toolkit/Graphics.h"
#include "toolkit/Handles.h"

namespace tk {

bool TMenu::IsShortCut(const TMessage& KeyMessage) {
  uint16_t key = static_cast<uint16_t>(KeyMessage.WParam & 0xFF);
  // A bare modifier is never a shortcut of its own.
  if (key == 0 || key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
  TShiftState shift = KeyboardShiftState();
  // WM_SYSKEYDOWN carries Alt in its context bit even when the state lags.
  if (KeyMessage.Msg == WM_SYSKEYDOWN && (KeyMessage.LParam & (1 << 29))) shift += ssAlt;
  return DispatchShortCut(ShortCut(key, shift));
}

namespace {

String ItemText(const TMenuItem* item) {
  String text = item->Caption();
  String sc = ShortCutToText(item->ShortCut());
  if (!sc.empty()) text += L"\t" + sc;
  return text;
}

void AppendItems(HMENU Menu, TMenuItem* Parent, bool OwnerDraw) {
  UINT pos = 0;
  for (int i = 0; i < Parent->Count(); ++i) {
    TMenuItem* item = Parent->Items(i);
    if (!item->Visible()) continue;
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
    if (OwnerDraw) mii.fType = MFT_OWNERDRAW;  // separators too: the skin draws them
    else if (item->IsLine()) mii.fType = MFT_SEPARATOR;
    else mii.fType = MFT_STRING;
    if (item->RadioItem()) mii.fType |= MFT_RADIOCHECK;
    if (item->Break() == mbBreak) mii.fType |= MFT_MENUBREAK;
    if (item->Break() == mbBarBreak) mii.fType |= MFT_MENUBARBREAK;
    if (item->Checked()) mii.fState |= MFS_CHECKED;
    if (!item->Enabled()) mii.fState |= MFS_GRAYED;
    if (item->Default()) mii.fState |= MFS_DEFAULT;
    mii.wID = item->Command();
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    String text = ItemText(item);
    if (!OwnerDraw && !item->IsLine()) {
      mii.fMask |= MIIM_STRING;
      mii.dwTypeData = text.data();
    }
    if (item->Count() > 0) {
      HMENU sub = ::CreatePopupMenu();
      AppendItems(sub, item, OwnerDraw);
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = sub;
    }
    ::InsertMenuItemW(Menu, pos++, TRUE, &mii);
  }
}

TMenuItem* ItemFromData(ULONG_PTR data) {
  auto* item = reinterpret_cast<TMenuItem*>(data);
  return IsLiveMenuItem(item) ? item : nullptr;
}

HFONT MenuFontHandle() {
  // The pre-Vista size of the record, so older systems answer too.
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) return nullptr;
  return ::CreateFontIndirectW(&ncm.lfMenuFont);
}

// A canvas on a DC for one owner-draw call, with the menu font.
class TMenuCanvas {
 public:
  explicit TMenuCanvas(HDC DC) : FState(DC) {
    FCanvas.SetHandle(DC);
    TFontHandle font(MenuFontHandle());
    if (font) FCanvas.Font()->SetHandle(font);
  }
  ~TMenuCanvas() { FCanvas.SetHandle(nullptr); }
  TCanvas* Get() { return &FCanvas; }

 private:
  TDCState FState;
  TCanvas FCanvas;
};

LRESULT OnMeasureItem(MEASUREITEMSTRUCT* mis) {
  if (mis->CtlType != ODT_MENU) return 0;
  TMenuItem* item = ItemFromData(mis->itemData);
  if (!item) return 0;
  TWindowDC screen(nullptr);
  TMenuCanvas canvas(screen);
  int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
  item->MeasureItem(canvas.Get(), w, h);
  mis->itemWidth = static_cast<UINT>(w < 0 ? 0 : w);
  mis->itemHeight = static_cast<UINT>(h < 0 ? 0 : h);
  return 1;
}

LRESULT OnDrawItem(DRAWITEMSTRUCT* dis) {
  if (dis->CtlType != ODT_MENU) return 0;
  TMenuItem* item = ItemFromData(dis->itemData);
  if (!item) return 0;
  TMenuCanvas canvas(dis->hDC);
  const RECT& r = dis->rcItem;
  item->AdvancedDrawItem(canvas.Get(), Rect(r.left, r.top, r.right, r.bottom),
                         TOwnerDrawState::FromBits(dis->itemState & 0xFFFF));
  return 1;
}

wchar_t AccelChar(const String& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    return caption[i + 1];
  }
  return 0;
}

// Owner-drawn items have no text the system could match a mnemonic in.
LRESULT OnMenuChar(wchar_t ch, HMENU menu) {
  wchar_t key[2] = {ch, 0};
  ::CharUpperW(key);
  int n = ::GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_DATA | MIIM_FTYPE;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW)) continue;
    TMenuItem* item = ItemFromData(mii.dwItemData);
    if (!item) continue;
    wchar_t a[2] = {AccelChar(item->Caption()), 0};
    if (!a[0]) continue;
    ::CharUpperW(a);
    if (a[0] == key[0]) return MAKELRESULT(i, MNC_EXECUTE);
  }
  return MAKELRESULT(0, MNC_IGNORE);
}

void OnCommand(uint16_t id) {
  // The list may change while an item runs (a handler frees a menu).
  std::vector<TPopupMenu*> menus = PopupList();
  for (TPopupMenu* m : menus) {
    const auto& live = PopupList();
    if (std::find(live.begin(), live.end(), m) == live.end()) continue;
    if (m->DispatchCommand(id)) return;
  }
}

HWND GPopupWindow = nullptr;

// The utility window hands us every message once it exists; what we don't
// take goes to the default procedure.
void PopupWindowMethod(TMessage& m) {
  switch (m.Msg) {
    case WM_MEASUREITEM:
      m.Result = OnMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam));
      if (m.Result) return;
      break;
    case WM_DRAWITEM:
      m.Result = OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam));
      if (m.Result) return;
      break;
    case WM_MENUCHAR:
      m.Result = OnMenuChar(static_cast<wchar_t>(LOWORD(m.WParam)), reinterpret_cast<HMENU>(m.LParam));
      return;
    case WM_COMMAND:
      if (HIWORD(m.WParam) == 0 && m.LParam == 0) {
        OnCommand(LOWORD(m.WParam));
        return;
      }
      break;
    default: break;
  }
  m.Result = ::DefWindowProcW(GPopupWindow, m.Msg, m.WParam, static_cast<LPARAM>(m.LParam));
}

}  // namespace

HWND PopupListWindow() {
  if (GPopupWindow && ::IsWindow(GPopupWindow)) return GPopupWindow;
  GPopupWindow = AllocateHWnd(TWndMethod([](TMessage& m) { PopupWindowMethod(m); }));
  return GPopupWindow;
}

HMENU CreateMenuHandle(TMenuItem* Root, bool OwnerDraw) {
  HMENU menu = ::CreatePopupMenu();
  if (menu && Root) AppendItems(menu, Root, OwnerDraw);
  return menu;
}

void TPopupMenu::Popup(int X, int Y) {
  FPopupPoint = Point(X, Y);
  OnPopup(this);
  TMenuHandle menu(CreateMenuHandle(Items(), OwnerDraw()));
  if (!menu) return;
  UINT flags = 0;
  switch (FAlignment) {
    case paLeft: flags |= TPM_LEFTALIGN; break;
    case paRight: flags |= TPM_RIGHTALIGN; break;
    case paCenter: flags |= TPM_CENTERALIGN; break;
  }
  flags |= FTrackButton == tbRightButton ? TPM_RIGHTBUTTON : TPM_LEFTBUTTON;
  if (FMenuAnimation.Contains(maNone)) {
    flags |= TPM_NOANIMATION;
  } else {
    if (FMenuAnimation.Contains(maLeftToRight)) flags |= TPM_HORPOSANIMATION;
    if (FMenuAnimation.Contains(maRightToLeft)) flags |= TPM_HORNEGANIMATION;
    if (FMenuAnimation.Contains(maTopToBottom)) flags |= TPM_VERPOSANIMATION;
    if (FMenuAnimation.Contains(maBottomToTop)) flags |= TPM_VERNEGANIMATION;
  }
  FHandle = menu;
  // The chosen command is posted to the utility window and runs from the
  // message loop, after this call has returned.
  ::TrackPopupMenu(menu, flags, X, Y, 0, PopupListWindow(), nullptr);
  FHandle = nullptr;
  OnClose(this);
}

// --- Plain owner-drawn look -----------------------------------------------------

namespace {

constexpr int kTextGap = 4;

int CheckColumnWidth() { return ::GetSystemMetrics(SM_CXMENUCHECK) + 4; }

}  // namespace

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  if (IsLine()) {
    Width = 0;
    Height = 8;
  } else if (ACanvas) {
    TRect r{};
    String text = Caption();
    ACanvas->TextDraw(text.empty() ? L" " : text, r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    int w = r.Width();
    String sc = ShortCutToText(ShortCut());
    if (!sc.empty()) w += ACanvas->TextWidth(sc) + 3 * ACanvas->TextWidth(L" ") + 8;
    Width = CheckColumnWidth() + kTextGap + w + 8;
    Height = std::max(r.Height() + 4, ::GetSystemMetrics(SM_CYMENU) - 1);
  }
  if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::AdvancedDrawItem(TCanvas* ACanvas, const TRect& ARect, TOwnerDrawState State) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, ACanvas, ARect, State);
    return;
  }
  bool selected = State.Contains(odSelected);
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, selected);
    return;
  }
  HDC dc = ACanvas->Handle();
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(selected && !IsLine() ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  if (IsLine()) {
    RECT r{ARect.Left, ARect.Top + ARect.Height() / 2 - 1, ARect.Right, ARect.Bottom};
    ::DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
    return;
  }
  bool disabled = State.Contains(odDisabled) || State.Contains(odGrayed) || !Enabled();
  TColor color = disabled ? clGrayText : (selected ? clHighlightText : clMenuText);
  ACanvas->Font()->SetColor(color);
  if (Default()) ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + fsBold);
  ::SetBkMode(dc, TRANSPARENT);
  if (Checked()) {
    TRect cr{ARect.Left, ARect.Top, ARect.Left + CheckColumnWidth(), ARect.Bottom};
    TFont saved;
    saved.Assign(ACanvas->Font());
    ACanvas->Font()->SetName(L"Marlett");
    ACanvas->Font()->SetHeight(-(ARect.Height() * 2 / 3));
    ACanvas->Font()->SetStyle({});
    ACanvas->TextDraw(RadioItem() ? L"h" : L"a", cr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ACanvas->Font()->Assign(&saved);
  }
  TRect tr{ARect.Left + CheckColumnWidth() + kTextGap, ARect.Top, ARect.Right - 8, ARect.Bottom};
  unsigned flags = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS;
  if (State.Contains(odNoAccel)) flags |= DT_HIDEPREFIX;
  DoDrawText(ACanvas, Caption(), tr, selected, flags);
  String sc = ShortCutToText(ShortCut());
  if (!sc.empty()) {
    TRect sr = tr;
    DoDrawText(ACanvas, sc, sr, selected, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
}

void TMenuItem::DoDrawText(TCanvas* ACanvas, const String& ACaption, TRect& Rect, bool, unsigned Flags) {
  ACanvas->TextDraw(ACaption, Rect, Flags);
}

}  // namespace tk
