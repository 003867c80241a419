#pragma once

#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quotaplan::test {

// The non-empty lines of each page of a PDF as pdftotext lays them out, blanks squeezed and
// ligatures ("ﬁ") unfolded; empty when pdftotext cannot read it.
inline QList<QStringList> PdfPages(const QString& pdf) {
    QProcess reader;
    reader.start("pdftotext", {"-layout", "-enc", "UTF-8", pdf, "-"});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    QList<QStringList> result;
    for (const QString& page : pages) {
        QStringList lines;
        for (const QString& line : page.split('\n')) {
            const QString tidy = line.normalized(QString::NormalizationForm_KC).simplified();
            if (!tidy.isEmpty()) lines.append(tidy);
        }
        result.append(lines);
    }
    return result;
}

}  // namespace quotaplan::test
