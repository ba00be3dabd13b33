#include "editors/window/frm_str.h"

#include "editors/window/editor_parts.h"
#include "i18n/text_table.h"
#include "platform/platform_facts.h"
#include "platform/qt/byte_text.h"
#include "ui/dialog_frame.h"
#include "ui/document_title.h"
#include "ui/form_parts.h"
#include "ui/text_print.h"
#include "ui/ui_text.h"
#include "util/dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>

namespace hw::editors {

using ui::UiText;

namespace {

const QSize kInitialSize(520, 380);

QString TextFileFilter() {
    return ui::FileFilter(i18n::Text::TextFileFilter, "*.txt");
}

// The editor shows line breaks as single characters; the stored text has CR LF.
QString ShownText(const std::string& bytes) {
    QString text = DecodeText(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string StoredText(QString shown) {
    shown.replace(QChar('\n'), QStringLiteral("\r\n"));
    return shown.toStdString();
}

} // namespace

TfrmStr::TfrmStr(QWidget* parent) : QDialog(parent) {
    lblName = new QLabel(QStringLiteral("Name:"), this);
    edtName = NewNameEdit(this);
    lblData = new QLabel(QStringLiteral("Data:"), this);
    mmValue = new QPlainTextEdit(this);
    mmValue->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmValue->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab leads on to the buttons, as in the system's own memo; a tab character can still be pasted.
    mmValue->setTabChangesFocus(true);
    FocusOnClick(lblName, edtName);
    FocusOnClick(lblData, mmValue);
    lblLength = new QLabel(this);
    lblMax = new QLabel(this);
    QPalette red = lblMax->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblMax->setPalette(red);
    connect(mmValue, &QPlainTextEdit::textChanged, this, &TfrmStr::ShowLength);
    connect(mmValue, &QPlainTextEdit::modificationChanged, this, &TfrmStr::UpdateTitle);

    auto button = [this](ui::ImageIndex picture, const char* caption) {
        auto* created = new QPushButton(ui::ImageListIcon(picture), QString::fromUtf8(caption), this);
        // Enter belongs to the text: no button is the default.
        created->setAutoDefault(false);
        return created;
    };
    btnPrint = button(ui::kImgPrint, "&Print");
    btnLoad = button(ui::kImgLoad, "&Load from file");
    btnSave = button(ui::kImgSave, "&Save to file");
    btnOk = button(ui::kImgOk, "&OK");
    btnCancel = button(ui::kImgCancel, "&Cancel");
    connect(btnPrint, &QPushButton::clicked, this, &TfrmStr::btnPrintClick);
    connect(btnLoad, &QPushButton::clicked, this, &TfrmStr::btnLoadClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmStr::btnSaveClick);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* labels = new QHBoxLayout;
    labels->addWidget(lblLength);
    labels->addStretch();
    labels->addWidget(lblMax);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* left : {btnPrint, btnLoad, btnSave})
        buttons->addWidget(left);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblName, 0, 0);
    layout->addWidget(edtName, 0, 1);
    layout->addWidget(lblData, 1, 0, Qt::AlignTop);
    layout->addWidget(mmValue, 1, 1);
    layout->addLayout(labels, 2, 1);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    ui::NameParts({{lblName, "lblName"},
                   {edtName, "edtName"},
                   {lblData, "lblData"},
                   {mmValue, "mmValue"},
                   {lblLength, "lblLength"},
                   {lblMax, "lblMax"},
                   {btnPrint, "btnPrint"},
                   {btnLoad, "btnLoad"},
                   {btnSave, "btnSave"},
                   {btnOk, "btnOk"},
                   {btnCancel, "btnCancel"}});

    resize(kInitialSize.expandedTo(minimumSizeHint()));
    UpdateTitle();
    ShowLength();
    ShowMaximum();
}

void TfrmStr::SetName(const std::string& name) {
    edtName->setText(platform::ShownText(name));
    UpdateTitle();
}

void TfrmStr::UpdateTitle() {
    ui::SetDocumentTitle(*this, edtName->text(), UiText(i18n::Text::StringEditorCaption),
                         mmValue->document()->isModified());
}

void TfrmStr::SetText(const std::string& text) {
    sourceBytes_ = text;
    mmValue->setPlainText(ShownText(text));
    // Compared with what the control gives back, which may differ from what it was given.
    sourceShown_ = mmValue->toPlainText();
}

std::string TfrmStr::Text() const {
    const QString shown = mmValue->toPlainText();
    return shown == sourceShown_ ? sourceBytes_ : StoredText(shown);
}

void TfrmStr::Clear() {
    edtName->clear();
    SetText({});
}

bool TfrmStr::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        util::ErrorBox(i18n::FormatText(i18n::Text::CannotReadFileBecause,
                                        {fileName.toStdString(), file.errorString().toStdString()}));
        return false;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        util::ErrorBox(i18n::FormatText(i18n::Text::CannotReadFileBecause,
                                        {fileName.toStdString(), file.errorString().toStdString()}));
        return false;
    }
    SetText(content.toStdString());
    return true;
}

bool TfrmStr::SaveToFile(const QString& fileName) {
    const std::string text = Text();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
        !file.commit()) {
        util::ErrorBox(i18n::FormatText(i18n::Text::CannotWriteFileBecause,
                                        {fileName.toStdString(), file.errorString().toStdString()}));
        return false;
    }
    return true;
}

void TfrmStr::PrintTo(QPrinter& printer) {
    const QStringList lines = mmValue->toPlainText().split(QChar('\n'));
    ui::PrintLines(
        printer, edtName->text(), static_cast<std::size_t>(lines.size()),
        [&lines](std::size_t line) { return lines[static_cast<qsizetype>(line)]; }, mmValue->font());
}

void TfrmStr::btnLoadClick() {
    const QString fileName = QFileDialog::getOpenFileName(this, {}, {}, TextFileFilter());
    if (!fileName.isEmpty()) LoadFromFile(fileName);
}

void TfrmStr::btnSaveClick() {
    QFileDialog dialog(this, {}, {}, TextFileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SaveToFile(dialog.selectedFiles().front());
}

void TfrmStr::btnPrintClick() {
    ui::PrintWithPreview(this, edtName->text(), [this](QPrinter& printer) { PrintTo(printer); });
}

void TfrmStr::ShowLength() {
    lblLength->setText(
        QString::fromStdString(i18n::FormatText(i18n::Text::LengthBytes, {std::to_string(Length())})));
}

void TfrmStr::ShowMaximum() {
    const int maximum = platform::GetPlatformFacts().majorVersion >= 5 ? 531706 : 16383;
    lblMax->setText(
        QString::fromStdString(i18n::FormatText(i18n::Text::MaxLengthBytes, {std::to_string(maximum)})));
}

void TfrmStr::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui::CentreOnDesktop(*this);
    mmValue->setFocus();
    ShowMaximum();
    ShowLength();
}

void TfrmStr::keyPressEvent(QKeyEvent* event) {
    // Neither OK nor Cancel has a key.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmStr::ApplyLanguage() {
    UpdateTitle();
    lblName->setText(UiText(i18n::Text::NameLabel));
    lblData->setText(UiText(i18n::Text::DataLabel));
    btnPrint->setText(UiText(i18n::Text::Print));
    btnLoad->setText(UiText(i18n::Text::LoadFromFile));
    btnSave->setText(UiText(i18n::Text::SaveToFile));
    btnOk->setText(UiText(i18n::Text::Ok));
    btnCancel->setText(UiText(i18n::Text::Cancel));
    ShowLength();
    ShowMaximum();
}

} // namespace hw::editors
