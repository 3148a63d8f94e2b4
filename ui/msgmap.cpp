#include "ui/msgmap.h"

namespace ui {

bool DispatchNotification(CCmdTarget& target, const MessageMap* map, UINT code, int id,
                          NMHDR* header) {
    for (; map; map = map->base) {
        for (size_t i = 0; i < map->count; ++i) {
            const MessageMapEntry& e = map->entries[i];
            if (e.code != code || id < e.firstId || id > e.lastId) continue;
            if (e.onCommand) {
                (target.*e.onCommand)();
            } else if (e.onCommandId) {
                (target.*e.onCommandId)(static_cast<UINT>(id));
            } else if (e.onNotify) {
                LRESULT result = 0;
                (target.*e.onNotify)(header, &result);
            }
            return true;
        }
    }
    return false;
}

}  // namespace ui
