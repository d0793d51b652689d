#pragma once

#include "desktop/plain_message.h"

#include <QSet>
#include <QStringList>

#include <utility>

namespace tavrin {

// Damaged values of the settings file, told once a run rather than at every
// use of the setting that reads them.
class DamageReports {
public:
    explicit DamageReports(ShowPlainMessage tell)
        : tell_(std::move(tell))
    {
    }

    void tellNew(const QStringList& problems)
    {
        for (const QString& problem : problems) {
            if (!told_.contains(problem)) {
                told_.insert(problem);
                tell_(problem);
            }
        }
    }

private:
    ShowPlainMessage tell_;
    QSet<QString> told_;
};

} // namespace tavrin
