#include "listviews.h"

#include "toolicons.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVariant>

namespace {

// The view's column set is remembered on the view itself, like a tag.
constexpr char kModeProperty[] = "velkorLVMode";

QStandardItem *treeNode(const QString &key, const QString &text)
{
    auto *item = new QStandardItem(treeNodeIcon(), text);
    item->setData(key, TVKeyRole);
    item->setEditable(false);
    return item;
}

} // namespace

QStringList LVColumns(const QString &mode)
{
    if (mode == u"SERVERS") {
        return { QStringLiteral("Server Name"), QStringLiteral("Host"),
                 QStringLiteral("Port"),        QStringLiteral("Mod/TC"),
                 QStringLiteral("Map"),         QStringLiteral("No. Players"),
                 QStringLiteral("Location"),    QStringLiteral("VL Version") };
    }
    if (mode == u"CHATSERVERS") {
        return { QStringLiteral("Server Name"), QStringLiteral("Host"),
                 QStringLiteral("No. Players"), QStringLiteral("Location"),
                 QStringLiteral("VL Version") };
    }
    if (mode == u"PLAYERS")
        return { QStringLiteral("Player Name"), QStringLiteral("Location") };
    if (mode == u"ALLPLAYERS") {
        return { QStringLiteral("Player Name"), QStringLiteral("Location"),
                 QStringLiteral("Server Name") };
    }
    return {};
}

QString LVMode(const QAbstractItemView *view)
{
    return view ? view->property(kModeProperty).toString() : QString();
}

void SetLVHeaders(QAbstractItemView *view, const QString &mode)
{
    if (!view)
        return;
    auto *model = qobject_cast<QStandardItemModel *>(view->model());
    if (!model)
        return;
    const QVariant current = view->property(kModeProperty);
    if (current.isValid() && current.toString() == mode)
        return;

    const QStringList columns = LVColumns(mode);
    model->clear();
    model->setColumnCount(int(columns.size()));
    model->setHorizontalHeaderLabels(columns);
    view->setProperty(kModeProperty, mode);
}

void EnableFullRow(QAbstractItemView *view)
{
    if (!view)
        return;
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
}

void CreateTVObjects(QTreeView *tree)
{
    if (!tree)
        return;
    auto *model = qobject_cast<QStandardItemModel *>(tree->model());
    if (!model)
        return;
    model->clear();

    QStandardItem *root = treeNode(QStringLiteral("DN3D"), QStringLiteral("Duke Nukem 3D"));
    root->appendRow(treeNode(QStringLiteral("VLGame"), QStringLiteral("Game Servers")));
    root->appendRow(treeNode(QStringLiteral("VLPlayers"), QStringLiteral("Players")));
    model->appendRow(root);
    tree->expand(root->index());
}

QString TVNodeKey(const QModelIndex &index)
{
    return index.isValid() ? index.data(TVKeyRole).toString() : QString();
}

QModelIndex FindTVNode(const QTreeView *tree, const QString &key)
{
    if (!tree || !tree->model())
        return {};
    const QModelIndexList found = tree->model()->match(tree->model()->index(0, 0), TVKeyRole, key,
                                                       1, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? QModelIndex() : found.constFirst();
}
