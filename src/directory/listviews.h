#pragma once

#include <QModelIndex>
#include <QString>
#include <QStringList>

#include <Qt>

class QAbstractItemView;
class QTreeView;

// The report-style lists and the category tree of the browser. Each view
// holds a QStandardItemModel; the lists remember their column set by mode
// name so that redrawing after every lobby datagram does not rebuild the
// columns.

// Role holding a tree node's key ("DN3D", "VLGame", "VLPlayers").
inline constexpr int TVKeyRole = Qt::UserRole + 1;

// The columns of a mode: "SERVERS", "CHATSERVERS", "PLAYERS", "ALLPLAYERS";
// any other name has none.
[[nodiscard]] QStringList LVColumns(const QString &mode);

// Sets the column set of mode on view, whose model must be a
// QStandardItemModel. Nothing changes while the view already shows mode;
// a new mode drops the rows along with the old columns.
void SetLVHeaders(QAbstractItemView *view, const QString &mode);

// The mode last set on view by SetLVHeaders, empty before.
[[nodiscard]] QString LVMode(const QAbstractItemView *view);

// Whole-row selection of one row at a time.
void EnableFullRow(QAbstractItemView *view);

// Removes every node of tree and adds the category nodes, the root
// expanded.
void CreateTVObjects(QTreeView *tree);

// The key of a tree node, empty for an invalid index.
[[nodiscard]] QString TVNodeKey(const QModelIndex &index);

// The node of tree with key, or an invalid index.
[[nodiscard]] QModelIndex FindTVNode(const QTreeView *tree, const QString &key);
