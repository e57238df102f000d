// The four navaid dialogs: Add VOR and Add NDB collect one new navaid and
// append it to the working copy; Delete VOR and Delete NDB list a database's
// records in file order and write the working copy without the picked one.
#pragma once

#include "afxdlgs.h"
#include "navaid_db.h"
#include "outcome.h"

// What a dialog's file work came to. A failure names the file and the
// system's reason; the dialog then ends with IDCANCEL, having left no output
// that looks finished, and the flow tells the user.
struct CNavaidFileWork {
    navaid::Outcome m_outcome;
};

// The fields and work the two entry dialogs share; a family is its template,
// its types and whether it has an Altitude field.
class CNavaidEntryDlg : public CDialog, public CNavaidFileWork {
protected:
    explicit CNavaidEntryDlg(navaid::Family family);

    // Fills the type list, limits ID and Name.
    void PrepareFields();
    // Converts the fields and adds the navaid to the working copy.
    void AddFromFields();

    CString m_strId;
    CString m_strName;
    CString m_strLatitude;
    CString m_strLongitude;
    CString m_strFrequency;
    CString m_strMagVar;
    CString m_strAltitude;  // stays empty for an NDB
    CString m_strType;

private:
    navaid::Family m_family;
};

// The list and deletion the two Delete dialogs share.
class CNavaidDeleteDlg : public CDialog, public CNavaidFileWork {
protected:
    explicit CNavaidDeleteDlg(navaid::Family family);

    // Lists the chosen file's records.
    void ListRecords();
    // Writes the working copy without the selected record.
    void DeleteSelected();

private:
    navaid::Family m_family;
};

class CAddVorDlg : public CNavaidEntryDlg {
public:
    CAddVorDlg();
    ~CAddVorDlg() override;

    // Called before the dialog shows: fills the type list, limits ID and Name.
    BOOL OnInitDialog() override;

protected:
    // Called on OK: converts the fields and adds the VOR to the working copy.
    void OnOK() override;

    DECLARE_MESSAGE_MAP()
};

class CAddNdbDlg : public CNavaidEntryDlg {
public:
    CAddNdbDlg();
    ~CAddNdbDlg() override;

    // Called before the dialog shows: fills the type list, limits ID and Name.
    BOOL OnInitDialog() override;

protected:
    // Called on OK: converts the fields and adds the NDB to the working copy.
    void OnOK() override;

    DECLARE_MESSAGE_MAP()
};

class CDeleteVorDlg : public CNavaidDeleteDlg {
public:
    CDeleteVorDlg();
    ~CDeleteVorDlg() override;

    // Called before the dialog shows: lists the chosen VOR file's records.
    BOOL OnInitDialog() override;

protected:
    // Called on OK: writes the working copy without the selected record.
    void OnOK() override;

    DECLARE_MESSAGE_MAP()
};

class CDeleteNdbDlg : public CNavaidDeleteDlg {
public:
    CDeleteNdbDlg();
    ~CDeleteNdbDlg() override;

    // Called before the dialog shows: lists the chosen NDB file's records.
    BOOL OnInitDialog() override;

protected:
    // Called on OK: writes the working copy without the selected record.
    void OnOK() override;

    DECLARE_MESSAGE_MAP()
};
