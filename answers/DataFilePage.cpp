#include "answers/DataFilePage.h"

#include "answers/DataFiles.h"
#include "core/SafeFormat.h"
#include "core/WidgetAccess.h"
#include "protocol/Commands.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

namespace {

// The name column's heading carries the column's number where the language
// library's text asks for one.
QStringList articleHeadings(const ConsoleContext& ctx) {
    QStringList headers{SafeFormat(ctx.LocaleString(11323), {0})};
    for (int k = 0; k < static_cast<int>(std::size(protocol::PluRecord::values)); ++k)
        headers << SafeFormat(ctx.LocaleString(11324), {k});
    return headers;
}

QStringList packageHeadings(const ConsoleContext& ctx) {
    QStringList headers;
    for (int id = 11351; id <= 11356; ++id)
        headers << ctx.LocaleString(id);
    return headers;
}

QString articleCell(const char* record, int column) {
    return answers::PluCell(record, column);
}

QString packageCell(const char* record, int column) {
    return answers::PackageCell(record, column);
}

} // namespace

const DataFilePage::Config DataFilePage::kArticles{PageId::PluInfo,
                                                   "PLUInfo",
                                                   protocol::cmd::cmUploadPlu,
                                                   protocol::kPluFile,
                                                   protocol::PluRecord::layout,
                                                   static_cast<int>(std::size(protocol::PluRecord::values)),
                                                   &articleCell,
                                                   4,
                                                   &articleHeadings,
                                                   "Label108",
                                                   "PLU Uploaded",
                                                   300,
                                                   0,
                                                   "sgrdPlu",
                                                   "BitBtn17",
                                                   true};

const DataFilePage::Config DataFilePage::kPackages{
    PageId::RtnPkg,
    "RtnPkg",
    protocol::cmd::cmUploadPkg,
    protocol::kReturnPackageFile,
    protocol::PackageRecord::layout,
    static_cast<int>(std::size(protocol::PackageRecord::values)),
    &packageCell,
    8,
    &packageHeadings,
    "Label116",
    "Return Package Uploaded",
    400,
    11350,
    "sgrdPkg",
    "BitBtn20",
    false};

DataFilePage::DataFilePage(ConsoleContext& ctx, const Config& config, QWidget* parent)
    : Page(ctx, config.id, QString::fromLatin1(config.pageName), parent), config_(config) {
    answers::plainLabel(make<QLabel>(config.titleLabel, 16, 4, config.titleWidth, 20),
                        QString::fromLatin1(config.title));
    if (config.articleControls) {
        answers::plainLabel(make<QLabel>("Label107", 300, 4, 70, 20), QStringLiteral("PLU"))
            ->setVisible(false);
        make<QLineEdit>("edPlu", 375, 2, 80, 22)->setVisible(false);
        makeButton("btnExecPluUpload", QStringLiteral("Upload"), 465, 0)->setVisible(false);
    }
    model_ = new answers::RecordTableModel(config.record.size, config.cell, this);
    // A model-backed grid: one fixed header row, no fixed column, rows 18 pixels high.
    grid_ = make<QTableView>(config.grid, 16, 26, 585, 256);
    grid_->setModel(model_);
    grid_->verticalHeader()->setVisible(false);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->verticalHeader()->setDefaultSectionSize(18);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setWordWrap(false);
    grid_->setVisible(false); // shown once a file is read
    makeBackButton(config.backButton);
}

void DataFilePage::attach() {
    ctx_.decoders.registerDecoder(config_.upload, [this](const QByteArray&) { readFile(); });
}

void DataFilePage::showRecord(const char* record, int count, bool first) {
    if (count < config_.record.size) {
        ctx_.formatErrorBox();
        grid_->setVisible(false);
        return;
    }
    if (first) {
        if (config_.titleText)
            answers::setLabelText(this, QString::fromLatin1(config_.titleLabel),
                                  ctx_.LocaleString(config_.titleText));
        model_->startOver(config_.headings(ctx_));
        widthsPending_ = true;
    }
    model_->append(record);
    if (grid_->isHidden())
        grid_->setVisible(true);
}

void DataFilePage::readFile() {
    model_->beginLoad();
    try {
        answers::ReadDataFile(QString::fromLatin1(config_.file), config_.record.size,
                              [this](const char* rec, int n, bool first) { showRecord(rec, n, first); });
    } catch (...) {
        model_->endLoad();
        throw;
    }
    model_->endLoad();
    if (widthsPending_) {
        widthsPending_ = false;
        grid_->setColumnWidth(0, answers::gridColumnWidth(grid_, config_.record.fields[0].width));
        for (int c = 1; c <= config_.valueColumns; ++c)
            grid_->setColumnWidth(c, answers::gridColumnWidth(grid_, config_.valueChars));
    }
    ctx_.nav.show(config_.id);
}
