#pragma once

#include <QString>

#include <memory>

namespace tavrin {

// Traditional characters turned into Simplified ones with OpenCC's t2s
// conversion (phrases first, then characters), for models that write Traditional.
class SimplifiedChinese {
public:
    // Nothing when OpenCC's conversion cannot be opened; then `problem` says why.
    static std::unique_ptr<SimplifiedChinese> create(QString* problem);
    ~SimplifiedChinese();
    SimplifiedChinese(const SimplifiedChinese&) = delete;
    SimplifiedChinese& operator=(const SimplifiedChinese&) = delete;

    QString convert(const QString& text) const;

private:
    explicit SimplifiedChinese(void* converter);

    void* converter_; // OpenCC's opencc_t
};

} // namespace tavrin
