#pragma once
// The pages that show a data file an upload leaves behind, one record a row:
// "PLUInfo" (the article table, "_Plu.mem", code 90) and "RtnPkg" (the
// returnable packages, "_RtnPkg.mem", code 89). Both are one page configured by
// the file, its record layout, its columns and their headings.

#include "core/Page.h"

#include <QByteArray>
#include <QStringList>

class QLabel;
class QTableView;
namespace answers {
class RecordTableModel;
}
namespace protocol {
struct Command;
struct Layout;
} // namespace protocol

class DataFilePage : public Page {
    Q_OBJECT
  public:
    struct Config {
        PageId id;
        const char* pageName;
        const protocol::Command& upload; // the command whose answer leaves the file
        const char* file;
        const protocol::Layout& record;
        int valueColumns; // columns after the name
        QString (*cell)(const char* record, int column);
        int valueChars; // a value column's width in characters
        QStringList (*headings)(const ConsoleContext& ctx);
        const char* titleLabel;
        const char* title;
        int titleWidth;
        int titleText; // the language library's title once a file is read; 0 keeps the caption
        const char* grid;
        const char* backButton;
        bool articleControls; // the article page's hidden single-article controls
    };
    static const Config kArticles;
    static const Config kPackages;

    DataFilePage(ConsoleContext& ctx, const Config& config, QWidget* parent = nullptr);
    void attach() override;

    // Reads the file into the grid and shows the page; a short record stops
    // with the format error and hides the grid.
    void readFile();
    answers::RecordTableModel* model() const { return model_; }

  private:
    void showRecord(const char* record, int count, bool first);

    const Config& config_;
    QTableView* grid_ = nullptr;
    answers::RecordTableModel* model_ = nullptr;
    bool widthsPending_ = false;
};
