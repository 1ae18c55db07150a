#include "ComboBox.h"

#include <QComboBox>
#include <QStringListModel>

namespace {

QString ToQt(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <class Match>
int Search(const QComboBox* box, int startAfter, Match match)
{
    const int count = box->count();
    if (count == 0)
        return CB_ERR;
    const int first = startAfter < 0 || startAfter >= count ? 0 : startAfter + 1;
    for (int step = 0; step < count; ++step) {
        const int index = (first + step) % count;
        if (match(box->itemText(index)))
            return index;
    }
    return CB_ERR;
}

void AppendKeepingSelection(QComboBox* box, const QStringList& items)
{
    const int selected = box->currentIndex();
    // An empty box takes a whole list at once, without a row insert and a change per item.
    auto* list = qobject_cast<QStringListModel*>(box->model());
    if (list && box->count() == 0)
        list->setStringList(items);
    else
        box->addItems(items);
    // Filling an empty box must not select its first item.
    box->setCurrentIndex(selected);
}

} // namespace

QComboBox* CComboBox::Box() const
{
    return qobject_cast<QComboBox*>(m_hWnd.data());
}

bool CComboBox::IsSorted() const
{
    return Box()->property("sorted").toBool();
}

int CComboBox::AddString(std::string_view text)
{
    QComboBox* box = Box();
    const QString item = ToQt(text);
    int index = box->count();
    if (IsSorted()) {
        // After the last item that does not sort after the new one (binary search: boxes can be long).
        int low = 0;
        int high = box->count();
        while (low < high) {
            const int middle = (low + high) / 2;
            if (QString::compare(box->itemText(middle), item, Qt::CaseInsensitive) <= 0)
                low = middle + 1;
            else
                high = middle;
        }
        index = low;
    }
    const int selected = box->currentIndex();
    box->insertItem(index, item);
    // Inserting into an empty box must not select the new item.
    box->setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    return index;
}

void CComboBox::AddStrings(const std::vector<std::string>& texts)
{
    QComboBox* box = Box();
    const bool sorted = IsSorted();
    QStringList inOrder;
    for (const std::string& text : texts) {
        QString item = ToQt(text);
        const QString last = !inOrder.isEmpty() ? inOrder.back()
                             : box->count() > 0 ? box->itemText(box->count() - 1)
                                                : QString();
        // AddString puts an item after every one that does not sort after it: at the end here.
        if (!sorted || QString::compare(last, item, Qt::CaseInsensitive) <= 0) {
            inOrder.append(std::move(item));
            continue;
        }
        AppendKeepingSelection(box, inOrder);
        inOrder.clear();
        AddString(text);
    }
    AppendKeepingSelection(box, inOrder);
}

void CComboBox::ResetContent()
{
    Box()->clear();
}

int CComboBox::GetCount() const
{
    return Box()->count();
}

int CComboBox::GetCurSel() const
{
    return Box()->currentIndex();
}

int CComboBox::SetCurSel(int index)
{
    QComboBox* box = Box();
    if (index < 0 || index >= box->count()) {
        box->setCurrentIndex(-1);
        return CB_ERR;
    }
    box->setCurrentIndex(index);
    return index;
}

std::string CComboBox::GetLBText(int index) const
{
    return Box()->itemText(index).toStdString();
}

int CComboBox::SelectString(int startAfter, std::string_view text)
{
    const QString prefix = ToQt(text);
    const int found = Search(Box(), startAfter,
                             [&](const QString& item) { return item.startsWith(prefix, Qt::CaseInsensitive); });
    if (found != CB_ERR)
        Box()->setCurrentIndex(found);
    return found;
}

int CComboBox::FindStringExact(int startAfter, std::string_view text) const
{
    const QString wanted = ToQt(text);
    return Search(Box(), startAfter,
                  [&](const QString& item) { return item.compare(wanted, Qt::CaseInsensitive) == 0; });
}
