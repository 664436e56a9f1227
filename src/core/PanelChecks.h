#pragma once
// The check boxes of a history panel: "Uložit" (with "*.TXT" and "Word"),
// "Tisk" and "Vymaž". Only the user's own tick or clear triggers a rule; a box
// changed by a rule triggers nothing.
namespace prolis {

struct PanelChecks {
    enum Box { Ulozit, Txt, Doc, Tisk, Vymaz };
    bool ulozit = false, txt = false, doc = false, tisk = false, vymaz = false;
    bool txtVisible = false, docVisible = false;

    // The panel opened: "Uložit", "Tisk" and "Vymaž" clear, "*.TXT" and "Word" hidden.
    void open() { *this = PanelChecks{}; }

    // The user ticked (`checked`) or cleared a box.
    void userToggled(Box box, bool checked) {
        set(box, checked);
        switch (box) {
        case Ulozit:
            if (checked) {
                vymaz = false;
                txt = doc = false;
                txtVisible = docVisible = true;
            } else {
                txtVisible = docVisible = false;
            }
            break;
        case Txt:
            if (checked) doc = false;
            break;
        case Doc:
            if (checked) txt = false;
            break;
        case Tisk:
            if (checked) vymaz = false;
            break;
        case Vymaz:
            if (checked) {
                txt = doc = ulozit = tisk = false;
                txtVisible = docVisible = false;
            }
            break;
        }
    }

    bool value(Box box) const {
        switch (box) {
        case Ulozit:
            return ulozit;
        case Txt:
            return txt;
        case Doc:
            return doc;
        case Tisk:
            return tisk;
        case Vymaz:
            return vymaz;
        }
        return false;
    }

private:
    void set(Box box, bool v) {
        switch (box) {
        case Ulozit:
            ulozit = v;
            break;
        case Txt:
            txt = v;
            break;
        case Doc:
            doc = v;
            break;
        case Tisk:
            tisk = v;
            break;
        case Vymaz:
            vymaz = v;
            break;
        }
    }
};

} // namespace prolis
