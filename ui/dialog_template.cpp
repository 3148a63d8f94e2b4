#include "ui/dialog_template.h"

#include <map>

namespace ui {
namespace {

std::map<int, DialogTemplate>& Registry() {
    static std::map<int, DialogTemplate> templates;
    return templates;
}

}  // namespace

void RegisterDialogTemplate(const DialogTemplate& tmpl) { Registry()[tmpl.id] = tmpl; }

const DialogTemplate* FindDialogTemplate(int id) {
    auto it = Registry().find(id);
    return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace ui
