#include "ui/backend.h"

namespace ui {
namespace {

Backend* g_backend = nullptr;

}  // namespace

Backend* GetBackend() { return g_backend; }

Backend* SetBackend(Backend* backend) {
    Backend* previous = g_backend;
    g_backend = backend;
    return previous;
}

}  // namespace ui
