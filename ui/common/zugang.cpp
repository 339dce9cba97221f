#include "zugang.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QAction>
#include <QGroupBox>
#include <QHash>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPointer>

namespace {

// The dynamic property that marks a control, and the controls it belongs with.
constexpr char art[] = "tessraZugang";
constexpr char begleiter[] = "tessraZugangBegleiter";
constexpr char titelVon[] = "tessraZugangTitel";

enum class Art { Zaehler = 1, Seite, Fenster, Menue, Liste };

template <typename T> T *begleiterVon(const QObject &objekt, const char *name)
{
    return qobject_cast<T *>(objekt.property(name).value<QObject *>());
}

// Every accessible object made here is one of these, so a cached default one can be told apart.
class Eigen
{
public:
    virtual ~Eigen() = default;
};

// Qt may have made and cached the default object already (setting a caption announces it while
// a screen reader listens); it goes, so that the next question reaches the factory.
void markiere(QObject &objekt, Art welche)
{
    objekt.setProperty(art, int(welche));
    QAccessibleInterface *bisher = QAccessible::queryAccessibleInterface(&objekt);
    if (bisher && !dynamic_cast<Eigen *>(bisher))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(bisher));
}

void melde(QObject *objekt, QAccessible::Event ereignis)
{
    QAccessibleEvent meldung(objekt, ereignis);
    QAccessible::updateAccessibility(&meldung);
}

// An accessible object without children of its own.
class Blatt : public QAccessibleWidget, public Eigen
{
public:
    using QAccessibleWidget::QAccessibleWidget;
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
};

class ZaehlerZugang : public Blatt
{
public:
    explicit ZaehlerZugang(QGroupBox *rahmen)
        : Blatt(rahmen, QAccessible::StaticText)
    {
    }
    QString text(QAccessible::Text welcher) const override
    {
        const auto *zahl = begleiterVon<QLabel>(*widget(), begleiter);
        if (welcher == QAccessible::Name && zahl)
            return static_cast<QGroupBox *>(widget())->title() + u": " + zahl->text();
        return Blatt::text(welcher);
    }
};

class SeiteZugang : public Blatt
{
public:
    explicit SeiteZugang(QWidget *seite)
        : Blatt(seite, QAccessible::Dialog)
    {
    }
    QString text(QAccessible::Text welcher) const override
    {
        const auto *titel = begleiterVon<QLabel>(*widget(), titelVon);
        const auto *inhalt = begleiterVon<QLabel>(*widget(), begleiter);
        if (welcher == QAccessible::Name && titel)
            return titel->text();
        if (welcher == QAccessible::Description && inhalt)
            return inhalt->text();
        return Blatt::text(welcher);
    }
};

// The window hands out only its page while that is shown.
class FensterZugang : public QAccessibleWidget, public Eigen
{
public:
    explicit FensterZugang(QWidget *fenster)
        : QAccessibleWidget(fenster)
    {
    }
    int childCount() const override { return seite() ? 1 : QAccessibleWidget::childCount(); }
    QAccessibleInterface *child(int index) const override
    {
        if (QWidget *oben = seite())
            return index == 0 ? QAccessible::queryAccessibleInterface(oben) : nullptr;
        return QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *kind) const override
    {
        if (QWidget *oben = seite())
            return kind && kind->object() == oben ? 0 : -1;
        return QAccessibleWidget::indexOfChild(kind);
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        if (QWidget *oben = seite())
            return oben->rect().contains(oben->mapFromGlobal(QPoint(x, y)))
                       ? QAccessible::queryAccessibleInterface(oben)
                       : nullptr;
        return QAccessibleWidget::childAt(x, y);
    }

private:
    QWidget *seite() const
    {
        QWidget *oben = begleiterVon<QWidget>(*widget(), begleiter);
        return oben && oben->isVisible() ? oben : nullptr;
    }
};

// An accessible object that belongs to no widget of its own (a menu entry, a list row): it has
// no children and takes no text.
class Teilobjekt : public QAccessibleInterface
{
public:
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}
};

class EintragZugang : public Teilobjekt, public QAccessibleActionInterface
{
public:
    EintragZugang(QMenu *menue, QAction *aktion)
        : m_menue(menue)
        , m_aktion(aktion)
    {
    }
    bool isValid() const override { return m_menue && m_aktion; }
    QObject *object() const override { return m_aktion; }
    QWindow *window() const override { return m_menue ? m_menue->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_menue);
    }
    QString text(QAccessible::Text welcher) const override
    {
        switch (welcher) {
        case QAccessible::Name:
            return QString(m_aktion->text()).remove(u'&');
        case QAccessible::Description:
        case QAccessible::Accelerator:
            return kuerzel();
        default:
            return {};
        }
    }
    QRect rect() const override
    {
        const QRect ort = m_menue->actionGeometry(m_aktion);
        return QRect(m_menue->mapToGlobal(ort.topLeft()), ort.size());
    }
    QAccessible::Role role() const override
    {
        if (m_aktion->isSeparator())
            return QAccessible::Separator;
        return m_aktion->isCheckable() ? QAccessible::CheckBox : QAccessible::MenuItem;
    }
    QAccessible::State state() const override
    {
        QAccessible::State zustand;
        zustand.disabled = !m_aktion->isEnabled();
        zustand.focusable = !zustand.disabled;
        zustand.focused = m_menue->activeAction() == m_aktion;
        zustand.checkable = m_aktion->isCheckable();
        zustand.checked = m_aktion->isChecked();
        zustand.invisible = !m_menue->isVisible() || !m_aktion->isVisible();
        return zustand;
    }
    void *interface_cast(QAccessible::InterfaceType typ) override
    {
        return typ == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                   : nullptr;
    }

    QStringList actionNames() const override
    {
        if (!m_aktion->isEnabled())
            return {};
        return {m_aktion->isCheckable() ? toggleAction() : pressAction()};
    }
    void doAction(const QString &name) override
    {
        if (!actionNames().contains(name))
            return;
        m_menue->hide();
        m_aktion->trigger();
    }
    QStringList keyBindingsForAction(const QString &) const override
    {
        return kuerzel().isEmpty() ? QStringList() : QStringList{kuerzel()};
    }

private:
    QString kuerzel() const { return m_aktion->shortcut().toString(QKeySequence::NativeText); }

    QPointer<QMenu> m_menue;
    QPointer<QAction> m_aktion;
};

class MenueZugang : public QAccessibleWidget, public Eigen
{
public:
    explicit MenueZugang(QMenu *menue)
        : QAccessibleWidget(menue, QAccessible::PopupMenu)
    {
    }
    int childCount() const override { return int(menue()->actions().size()); }
    QAccessibleInterface *child(int index) const override
    {
        QAction *aktion = menue()->actions().value(index);
        if (!aktion)
            return nullptr;
        if (QAccessibleInterface *vorhanden = QAccessible::queryAccessibleInterface(aktion))
            return vorhanden;
        auto *eintrag = new EintragZugang(menue(), aktion);
        QAccessible::registerAccessibleInterface(eintrag);
        return eintrag;
    }
    int indexOfChild(const QAccessibleInterface *kind) const override
    {
        return kind ? int(menue()->actions().indexOf(qobject_cast<QAction *>(kind->object()))) : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        QAction *aktion = menue()->actionAt(menue()->mapFromGlobal(QPoint(x, y)));
        return aktion ? child(int(menue()->actions().indexOf(aktion))) : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        QAction *aktiv = menue()->activeAction();
        return aktiv ? child(int(menue()->actions().indexOf(aktiv))) : nullptr;
    }

private:
    QMenu *menue() const { return static_cast<QMenu *>(widget()); }
};

class ZeileZugang : public Teilobjekt
{
public:
    ZeileZugang(QAbstractItemView *liste, int zeile)
        : m_liste(liste)
        , m_zeile(zeile)
    {
    }
    bool isValid() const override
    {
        return m_liste && m_liste->model() && m_zeile < m_liste->model()->rowCount();
    }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_liste->window()->windowHandle(); }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_liste);
    }
    QString text(QAccessible::Text welcher) const override
    {
        if (!isValid())
            return {};
        if (welcher == QAccessible::Name)
            return index().data().toString();
        if (welcher == QAccessible::Description)
            return index().data(Qt::AccessibleDescriptionRole).toString();
        return {};
    }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect ort = m_liste->visualRect(index());
        return QRect(m_liste->viewport()->mapToGlobal(ort.topLeft()), ort.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State zustand;
        if (!isValid())
            return zustand;
        zustand.selectable = true;
        zustand.focusable = true;
        zustand.disabled = !m_liste->isEnabled();
        zustand.selected = m_liste->selectionModel()->isSelected(index());
        // Current is not focused: only while the list has the focus does its item have it.
        zustand.focused = m_liste->hasFocus() && m_liste->currentIndex() == index();
        zustand.invisible = !m_liste->viewport()->rect().intersects(m_liste->visualRect(index()));
        return zustand;
    }
    int zeile() const { return m_zeile; }

private:
    QModelIndex index() const { return m_liste->model()->index(m_zeile, 0); }

    QPointer<QAbstractItemView> m_liste;
    int m_zeile;
};

class ListeZugang : public QAccessibleWidget, public Eigen
{
public:
    explicit ListeZugang(QAbstractItemView *liste)
        : QAccessibleWidget(liste, QAccessible::List)
    {
    }
    ~ListeZugang() override
    {
        for (const QAccessible::Id id : std::as_const(m_zeilen))
            QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override { return liste()->model() ? liste()->model()->rowCount() : 0; }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const auto id = m_zeilen.find(index); id != m_zeilen.end())
            return QAccessible::accessibleInterface(*id);
        auto *zeile = new ZeileZugang(liste(), index);
        m_zeilen.insert(index, QAccessible::registerAccessibleInterface(zeile));
        return zeile;
    }
    int indexOfChild(const QAccessibleInterface *kind) const override
    {
        const auto *zeile = dynamic_cast<const ZeileZugang *>(kind);
        return zeile && zeile->parent() == this ? zeile->zeile() : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QModelIndex index =
            liste()->indexAt(liste()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        return liste()->hasFocus() && liste()->currentIndex().isValid()
                   ? child(liste()->currentIndex().row())
                   : nullptr;
    }

private:
    QAbstractItemView *liste() const { return static_cast<QAbstractItemView *>(widget()); }

    // One object per row once asked for, so a screen reader sees the same item each time.
    mutable QHash<int, QAccessible::Id> m_zeilen;
};

QAccessibleInterface *fabrik(const QString &, QObject *objekt)
{
    if (!objekt || !objekt->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(objekt);
    switch (Art(objekt->property(art).toInt())) {
    case Art::Zaehler:
        return new ZaehlerZugang(static_cast<QGroupBox *>(widget));
    case Art::Seite:
        return new SeiteZugang(widget);
    case Art::Fenster:
        return new FensterZugang(widget);
    case Art::Menue:
        return new MenueZugang(static_cast<QMenu *>(widget));
    case Art::Liste:
        return new ListeZugang(static_cast<QAbstractItemView *>(widget));
    }
    return nullptr;
}

void installiereFabrik()
{
    static const bool installiert = [] {
        QAccessible::installFactory(fabrik);
        return true;
    }();
    Q_UNUSED(installiert);
}

} // namespace

void alsZaehler(QGroupBox &rahmen, QLabel &zahl)
{
    installiereFabrik();
    rahmen.setProperty(begleiter, QVariant::fromValue<QObject *>(&zahl));
    markiere(rahmen, Art::Zaehler);
}

void zaehlerGeaendert(QGroupBox &rahmen)
{
    melde(&rahmen, QAccessible::NameChanged);
}

void alsStatus(QLabel &status)
{
    // A label without a name of its own is named by its text.
    status.setAccessibleName({});
}

void alsSeite(QWidget &fenster, QWidget &seite, const QLabel &titel, const QLabel &text)
{
    installiereFabrik();
    seite.setProperty(titelVon, QVariant::fromValue<QObject *>(const_cast<QLabel *>(&titel)));
    seite.setProperty(begleiter, QVariant::fromValue<QObject *>(const_cast<QLabel *>(&text)));
    markiere(seite, Art::Seite);
    fenster.setProperty(begleiter, QVariant::fromValue<QObject *>(&seite));
    markiere(fenster, Art::Fenster);
}

void mitEintragszustaenden(QMenu &menue)
{
    installiereFabrik();
    markiere(menue, Art::Menue);
}

void mitEinemFokus(QAbstractItemView &liste)
{
    installiereFabrik();
    markiere(liste, Art::Liste);
}
