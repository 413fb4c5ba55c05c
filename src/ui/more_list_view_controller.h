#pragma once
// The "More" list: one row per tab that the bar has no room for, with its image and title.
// Choosing a row asks the tab bar controller to show that tab.

#include "ui/view_controller.h"

#include <QList>

class QListWidget;

namespace pelloran {

class MoreListViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr int kRowHeightPoints = 44;

    explicit MoreListViewController(QWidget* parent = nullptr);

    // The rows, in order: each a tab's title and image name.
    void setRows(const QList<QPair<QString, QString>>& rows);
    int rowCount() const;
    void setRowsEnabled(bool enabled);
    QListWidget* list() const { return list_; }

    // Coming back to the list: no row stays lit from the last choice.
    void viewWillAppear() override;

Q_SIGNALS:
    void rowChosen(int row);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QListWidget* list_;
    bool enabled_ = true;
};

}  // namespace pelloran
