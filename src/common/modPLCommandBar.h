#pragma once
// The two routines both add-ins build their menus and toolbars with. A control is found by
// its tag and returned untouched when present; only a missing one is created, at its place,
// so a menu or toolbar the user partly deleted is completed in place and never doubled.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/addins/COMAddIns.h"
#include "host/word/addins/Clipboard.h"
#include "host/word/addins/CommandBars.h"

namespace paperloom::modPLCommandBar {

// The popup tagged strTag on the bar, or a new one with that caption placed before 1-based
// lngBefore (0: at the end): the shared "&Paperloom" popup and each add-in's submenu in it.
std::shared_ptr<word::CommandBarControl> FindOrAddPopup(const std::shared_ptr<word::CommandBar>& bar,
                                                        std::string_view strTag, std::string_view strCaption,
                                                        long lngBefore);

// The toolbar named strName, or a new visible one at the top with that name.
std::shared_ptr<word::CommandBar> FindOrAddToolbar(word::CommandBars& bars, std::string_view strName);

// "!<" + ProgID + ">": the action that connects the add-in (when needed) for its buttons.
std::string MakeOnAction(const word::COMAddIn& addInInst);

// A caption-only button in the popup's menu, before 1-based lngPosition (past the end: at the end).
std::shared_ptr<word::CommandBarControl> AddMenuButton(std::string_view strTag, std::string_view strCaption,
                                                       long lngPosition,
                                                       const std::shared_ptr<word::CommandBarControl>& ctlPopup,
                                                       const word::COMAddIn& addInInst, bool blnBeginGroup);

// The add-in's own bitmap resources by number (BMP bytes); empty when there is no such number.
using BitmapResources = std::function<std::vector<std::byte>(long lngBitmap)>;

// Where a toolbar button's face comes from: the add-in's bitmaps, put through the clipboard.
struct FaceSource {
    word::Clipboard& clipboard;
    BitmapResources bitmaps;
};

// A control of type lngType on the bar. Its face: bitmap lngBitmap (when not 0) pasted from
// the clipboard, otherwise the built-in face lngFaceId (when not 0); its width when not 0.
// A bitmap number the resources lack is error 326 (resource not found).
std::shared_ptr<word::CommandBarControl> AddToolButton(std::string_view strTag, std::string_view strCaption,
                                                       long lngType, long lngPosition, long lngBitmap, long lngFaceId,
                                                       const std::shared_ptr<word::CommandBar>& cbrTarget,
                                                       const word::COMAddIn& addInInst, bool blnBeginGroup,
                                                       long lngWidth, const FaceSource& faces);

}  // namespace paperloom::modPLCommandBar
