#pragma once

#include "model/session.h"
#include "model/snapshot.h"
#include "ui/common/contacttablemodel.h"
#include "ui/common/grouptree.h"
#include "ui/phonebook/frm_tanim_rehber.h"

#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace velmor::test {

// Opens the phone book window on a session loaded from a command 1 payload,
// shown and active.
inline void OpenPhoneBook(const Service &service, const QString &accountPayload, std::unique_ptr<Session> &session,
                          std::unique_ptr<Frm_Tanim_Rehber> &window)
{
    session = std::make_unique<Session>();
    AccountSnapshot snapshot;
    QVERIFY(LoadAccountSnapshot(snapshot, accountPayload));
    session->setSnapshot(snapshot);
    window = std::make_unique<Frm_Tanim_Rehber>(service, *session);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

// How many of the request bodies carry that command.
inline int CommandCount(const QList<QByteArray> &bodies, int command)
{
    const QByteArray code = "Rehber=" + QByteArray::number(command);
    return int(std::count_if(bodies.cbegin(), bodies.cend(),
                             [&](const QByteArray &b) { return b == code || b.startsWith(code + '&'); }));
}

// The node of that group number, or nullptr.
inline QTreeWidgetItem *nodeOf(QTreeWidget *tree, const QString &groupNo)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (GroupTree::NodeGroupNo(*it) == groupNo)
            return *it;
    }
    return nullptr;
}

// The record numbers a contact list shows, in its order.
inline QStringList shown(const QTreeView *view)
{
    QStringList out;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        out.append(view->model()->index(row, ContactTableModel::Adr_K_No).data().toString());
    return out;
}

inline void clickAt(QAbstractItemView *view, const QModelIndex &index, Qt::MouseButton button = Qt::LeftButton)
{
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), button, {}, view->visualRect(index).center());
}

} // namespace velmor::test
