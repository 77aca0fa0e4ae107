#include <algorithm>

#include "Corvane.h"
#include "Mesgrave.h"

namespace {

// The manager's font and skip sizes; a module without a manager has none.
int fontSize(Mesgrave* manager) { return manager != nullptr ? manager->GetFontSize() : 0; }
int skipSize(Mesgrave* manager) { return manager != nullptr ? manager->GetSkipSize() : 0; }

// 1.1 * 12 evaluated in double arithmetic.
const double kWidthPerFontUnit = 1.1 * 12;

}  // namespace

void Corvane::SetPosition(float x, float y) {
    posX = x;
    posY = y;
}

void Corvane::GetPosition(float& x, float& y) {
    x = posX;
    y = posY;
}

void Corvane::SetSize(float width, float height) {
    sizeX = width;
    sizeY = height;
}

void Corvane::GetSize(float& width, float& height) {
    width = sizeX;
    height = sizeY;
}

void Corvane::SetCollapsed(bool collapse) { collapsed = collapse; }
bool Corvane::IsCollapsed() { return collapsed; }

float Corvane::GetEntryHeight() { return static_cast<float>(fontSize(manager) + skipSize(manager)); }

void Corvane::GetFullSize(float& width, float& height) {
    width = static_cast<float>(fontSize(manager) * kWidthPerFontUnit);
    height = GetEntryHeight() * static_cast<float>(std::max(inputs.size(), outputs.size()));
}

void Corvane::GetActualSize(float& width, float& height) {
    if (!collapsed) {
        GetFullSize(width, height);
        return;
    }
    width = static_cast<float>(fontSize(manager) * kWidthPerFontUnit);
    height = GetEntryHeight() * static_cast<float>(std::max(connectedInputs.size(), connectedOutputs.size()));
}

void Corvane::GetInputPosition(int index, float& x, float& y, bool yUp) {
    float entryHeight = GetEntryHeight();
    x = posX + 4;
    if (yUp) {
        float width, height;
        GetFullSize(width, height);
        float top = posY + height;
        y = static_cast<float>(top - entryHeight * (index + 0.2));
    } else {
        y = static_cast<float>(entryHeight * (index + 0.2));
    }
}

void Corvane::GetOutputPosition(int index, float& x, float& y, bool yUp) {
    GetInputPosition(index, x, y, yUp);
    x = posX + sizeX - 12;
}
