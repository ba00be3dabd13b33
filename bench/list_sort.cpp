// Sorting the value list by its data column: 10,000 values of mixed types in a shown list with a selection,
// from the header click's sort call until the view has painted.
#include "app/value_rows.h"
#include "app/window/value_list_model.h"
#include "bench_support.h"
#include "bench_window.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QTreeView>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kValueCount = 10000;
const char* const kKeyPath = "HKEY_CURRENT_USER\\Bench";

std::vector<hw::app::ValueRow> MixedRows() {
    std::vector<hw::app::ValueRow> rows;
    rows.reserve(kValueCount);
    for (int i = 0; i < kValueCount; ++i) {
        // Scrambled so that the data order differs from the name order.
        const unsigned scrambled = static_cast<unsigned>(i) * 2654435761u;
        const std::string text = "C:\\Program Files\\Item " + std::to_string(scrambled % 100000);
        std::vector<BYTE> data;
        DWORD type = REG_SZ;
        switch (i % 3) {
        case 0:
            data.assign(text.begin(), text.end());
            data.push_back(0);
            break;
        case 1:
            type = REG_DWORD;
            data = {static_cast<BYTE>(scrambled), static_cast<BYTE>(scrambled >> 8),
                    static_cast<BYTE>(scrambled >> 16), static_cast<BYTE>(scrambled >> 24)};
            break;
        default:
            type = REG_BINARY;
            data.assign(text.rbegin(), text.rend());
            break;
        }
        rows.push_back(hw::app::MakeValueRow(kKeyPath, "Value " + std::to_string(i), type, data.data(),
                                             static_cast<DWORD>(data.size())));
    }
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    const hw::bench::TempRegistry registry;
    QApplication application(argc, argv);
    hw::window::ValueListModel model;
    QTreeView view;
    view.setModel(&model);
    view.setUniformRowHeights(true);
    model.SetRows(MixedRows(), kKeyPath);
    view.show();
    for (int row = 0; row < model.Count(); row += 7)
        view.selectionModel()->select(model.index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    hw::bench::PaintNow(view.viewport());

    const double seconds = hw::bench::Seconds([&] {
        model.sort(hw::window::ValueListModel::kDataColumn, Qt::AscendingOrder);
        hw::bench::PaintNow(view.viewport());
    });
    std::printf("list.sort_10k.seconds %.4f\n", seconds);
    return 0;
}
