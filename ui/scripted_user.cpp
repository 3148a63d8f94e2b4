#include "ui/scripted_user.h"

#include <utility>

#include "ui/winconst.h"

namespace ui {

using Kind = UserStep::Kind;

DialogScript& DialogScript::Add(UserStep step) {
    m_steps.push_back(std::move(step));
    return *this;
}

DialogScript& DialogScript::Wait(uint32_t ms) { return Add({.kind = Kind::Wait, .ms = ms}); }
DialogScript& DialogScript::Click(int id) { return Add({.kind = Kind::Click, .id = id}); }
DialogScript& DialogScript::Type(int id, std::string text) {
    return Add({.kind = Kind::Type, .id = id, .text = std::move(text)});
}
DialogScript& DialogScript::Clear(int id) { return Add({.kind = Kind::Clear, .id = id}); }
DialogScript& DialogScript::SetIp(int id, std::string dotted) {
    return Add({.kind = Kind::SetIp, .id = id, .text = std::move(dotted)});
}
DialogScript& DialogScript::SetIpField(int id, int field, int value) {
    return Add({.kind = Kind::SetIpField, .id = id, .index = field, .value = value});
}
DialogScript& DialogScript::Select(int id, int index) {
    return Add({.kind = Kind::Select, .id = id, .index = index});
}
DialogScript& DialogScript::DropDown(int id) { return Add({.kind = Kind::DropDown, .id = id}); }
DialogScript& DialogScript::ClickRow(int id, int row) {
    return Add({.kind = Kind::ClickRow, .id = id, .index = row});
}
DialogScript& DialogScript::DoubleClickRow(int id, int row) {
    return Add({.kind = Kind::DoubleClickRow, .id = id, .index = row});
}
DialogScript& DialogScript::Key(unsigned vk) {
    return Add({.kind = Kind::Key, .index = static_cast<int>(vk)});
}
DialogScript& DialogScript::Enter() { return Key(VK_RETURN); }
DialogScript& DialogScript::Escape() { return Key(VK_ESCAPE); }
DialogScript& DialogScript::Close() { return Add({.kind = Kind::Close}); }
DialogScript& DialogScript::Call(std::function<void()> fn) {
    return Add({.kind = Kind::Call, .call = std::move(fn)});
}

DialogScript& ScriptedUser::OnDialog(int templateId, int nth) {
    return m_dialogs.emplace_back(templateId, nth);
}

void ScriptedUser::OnMessageBox(std::string text, uint32_t afterMs) {
    m_boxRules.push_back({std::move(text), afterMs, false});
}

std::vector<std::string> ScriptedUser::Unused() const {
    std::vector<std::string> unused;
    for (const DialogScript& d : m_dialogs) {
        if (!d.m_used) {
            unused.push_back("dialog " + std::to_string(d.m_templateId) + " opening " +
                             (d.m_nth ? std::to_string(d.m_nth) : "any"));
        }
    }
    for (const BoxRule& r : m_boxRules) {
        if (!r.used) unused.push_back("message box \"" + r.text + "\"");
    }
    return unused;
}

const std::vector<UserStep>* ScriptedUser::DialogOpened(int templateId) {
    int nth = 0;
    for (auto& [id, count] : m_openings) {
        if (id == templateId) nth = ++count;
    }
    if (!nth) m_openings.emplace_back(templateId, nth = 1);
    DialogScript* any = nullptr;
    for (DialogScript& d : m_dialogs) {
        if (d.m_templateId != templateId) continue;
        if (d.m_nth == nth && !d.m_used) {
            d.m_used = true;
            return &d.m_steps;
        }
        if (d.m_nth == 0 && !any) any = &d;
    }
    if (!any) return nullptr;
    any->m_used = true;
    return &any->m_steps;
}

uint32_t ScriptedUser::MessageBoxShown(const std::string& text, const std::string& caption,
                                       uint32_t tick, int ownerTemplate) {
    ShownMessageBox& box =
        m_boxes.emplace_back(ShownMessageBox{text, caption, tick, ownerTemplate});
    for (BoxRule& r : m_boxRules) {
        if (!r.used && (r.text.empty() || r.text == text)) {
            r.used = true;
            box.scripted = true;
            return r.afterMs;
        }
    }
    return 0;
}

}  // namespace ui
