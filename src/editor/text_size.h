#pragma once

namespace tavrin {

// The sizes of the transcript's text offered in the menu 字号, largest first.
enum class TextSize {
    Large,   // 大
    Medium,  // 中
    Small,   // 小
    Smallest // 极小
};

constexpr int pointSizeOf(TextSize size)
{
    switch (size) {
    case TextSize::Large:
        return 40;
    case TextSize::Medium:
        return 32;
    case TextSize::Small:
        return 24;
    case TextSize::Smallest:
        return 16;
    }
    return 16;
}

} // namespace tavrin
