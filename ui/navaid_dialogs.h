// The four navaid dialogs: Add VOR and Add NDB collect one new navaid and
// append it to the working copy; Delete VOR and Delete NDB list a database's
// records in file order and write the working copy without the picked one.
#pragma once

#include "afxdlgs.h"
#include "outcome.h"

// What a dialog's file work came to. A failure names the file and the
// system's reason; the dialog then ends with IDCANCEL, having left no output
// that looks finished, and the flow tells the user.
struct CNavaidFileWork {
    navaid::Outcome m_outcome;
};

class CAddVorDlg : public CDialog, public CNavaidFileWork {
public:
    CAddVorDlg();
    ~CAddVorDlg() override;

    // Called before the dialog shows: fills the type list, limits ID and Name.
    BOOL OnInitDialog() override;

protected:
    // Called on OK: converts the fields and adds the VOR to the working copy.
    void OnOK() override;

    CString m_strId;
    CString m_strName;
    CString m_strLatitude;
    CString m_strLongitude;
    CString m_strFrequency;
    CString m_strMagVar;
    CString m_strAltitude;
    CString m_strType;

    DECLARE_MESSAGE_MAP()
};

class CAddNdbDlg : public CDialog, public CNavaidFileWork {
public:
    CAddNdbDlg();
    ~CAddNdbDlg() override;

    // Called before the dialog shows: fills the type list, limits ID and Name.
    BOOL OnInitDialog() override;

protected:
    // Called on OK: converts the fields and adds the NDB to the working copy.
    void OnOK() override;

    CString m_strId;
    CString m_strName;
    CString m_strLatitude;
    CString m_strLongitude;
    CString m_strFrequency;
    CString m_strMagVar;
    CString m_strType;

    DECLARE_MESSAGE_MAP()
};

class CDeleteVorDlg : public CDialog, public CNavaidFileWork {
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

class CDeleteNdbDlg : public CDialog, public CNavaidFileWork {
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
