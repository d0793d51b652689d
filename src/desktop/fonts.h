#pragma once

#include <QFont>
#include <QStringList>

#include <thread>

namespace tavrin {

// The interface font ("MS Sans Serif", 8 points) and the editor's font ("宋体",
// 29 pixels high), each with the nearest faces a Linux desktop has.
QFont interfaceFont(int pixelSize = 11, bool bold = false);
QFont editorFont();

// Reads fontconfig's configuration and font list on a thread of its own, from
// construction until wait(), so that the start of the program connects to the
// display meanwhile. Qt's first font then finds them read instead of reading
// them itself, on the way to the window's first sight.
class FontConfigurationReader {
public:
    FontConfigurationReader();
    ~FontConfigurationReader();
    FontConfigurationReader(const FontConfigurationReader&) = delete;
    FontConfigurationReader& operator=(const FontConfigurationReader&) = delete;

    void wait();

private:
    std::thread thread_;
};

} // namespace tavrin
