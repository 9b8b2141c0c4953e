#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QFileInfo>


namespace ip2h {
namespace {

struct Record {
    bool RecordOnly = false;
    QString LastText;
    QString LastCaption;
    int Count = 0;
};

// User-interface thread only, like the boxes themselves.
Record& TheRecord() {
    static Record record;
    return record;
}

}  // namespace

QString MessageBox::Caption() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return name.isEmpty() ? QStringLiteral("ip2hostname") : name;
}

void MessageBox::ShowWarning(QWidget* parent, const QString& text) {
    Record& record = TheRecord();
    const QString caption = Caption();
    record.LastText = text;
    record.LastCaption = caption;
    ++record.Count;

    if (record.RecordOnly) return;

    auto* box = new QMessageBox(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("warningMessageBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Messages may quote what the user typed; never let that be read as markup.
    box->setTextFormat(Qt::PlainText);
    box->open();
}

void MessageBox::setRecordOnly(bool recordOnly) {
    TheRecord().RecordOnly = recordOnly;
}

QString MessageBox::lastText() {
    return TheRecord().LastText;
}

QString MessageBox::lastCaption() {
    return TheRecord().LastCaption;
}

int MessageBox::count() {
    return TheRecord().Count;
}

void MessageBox::resetForTest() {
    TheRecord() = Record{};
}

}  // namespace ip2h
