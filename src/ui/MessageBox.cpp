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

void MessageBox::SetRecordOnly(bool recordOnly) {
    TheRecord().RecordOnly = recordOnly;
}

QString MessageBox::LastText() {
    return TheRecord().LastText;
}

QString MessageBox::LastCaption() {
    return TheRecord().LastCaption;
}

int MessageBox::Count() {
    return TheRecord().Count;
}

void MessageBox::ResetForTest() {
    TheRecord() = Record{};
}

}  // namespace ip2h
