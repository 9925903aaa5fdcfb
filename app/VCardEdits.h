// The window's side of the VCard page: which edit field shows which member of the page record,
// and its caption marked for translation. Captions and the order of the fields come from
// payload/VCardFields.h (the captions here must be the same, which is checked below); the page's
// layout, VCardPage() and SetVCardPage() walk that table and find each field's edit here.
#pragma once

#include "Unit1.h"
#include "payload/VCardFields.h"

#include <QLineEdit>
#include <QtGlobal>
#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

struct TVCardEdit {
  std::u16string TVCardPage::*Member;
  QLineEdit* TForm1::*Edit;
  const char* Caption; // the field's caption in payload/VCardFields.h, for the translations
};

inline constexpr TVCardEdit kVCardEdits[] = {
    {&TVCardPage::ContactName, &TForm1::ContactName, QT_TRANSLATE_NOOP("TForm1", "Contact Name")},
    {&TVCardPage::FirstName, &TForm1::FirstName, QT_TRANSLATE_NOOP("TForm1", "First Name")},
    {&TVCardPage::LastName, &TForm1::LastName, QT_TRANSLATE_NOOP("TForm1", "Last Name")},
    {&TVCardPage::MiddleName, &TForm1::MiddleName, QT_TRANSLATE_NOOP("TForm1", "Middle Name")},
    {&TVCardPage::PhonePrivate, &TForm1::PhonePrivate, QT_TRANSLATE_NOOP("TForm1", "Phone home")},
    {&TVCardPage::PhoneCellPrivate, &TForm1::PhoneCellPrivate,
     QT_TRANSLATE_NOOP("TForm1", "Cell Phone private")},
    {&TVCardPage::EmailPrivate, &TForm1::EmailPrivate,
     QT_TRANSLATE_NOOP("TForm1", "eMail private")},
    {&TVCardPage::WebsitePrivate, &TForm1::WebsitePrivate,
     QT_TRANSLATE_NOOP("TForm1", "Website private")},
    {&TVCardPage::StreetHome, &TForm1::StreetHome, QT_TRANSLATE_NOOP("TForm1", "Street home")},
    {&TVCardPage::CityHome, &TForm1::CityHome, QT_TRANSLATE_NOOP("TForm1", "City home")},
    {&TVCardPage::ZIPCodeHome, &TForm1::ZIPCodeHome, QT_TRANSLATE_NOOP("TForm1", "ZIP Code home")},
    {&TVCardPage::Birthday, &TForm1::Birthday,
     QT_TRANSLATE_NOOP("TForm1", "Birthday [yyyy.mm.dd]")},
    {&TVCardPage::Company, &TForm1::Company, QT_TRANSLATE_NOOP("TForm1", "Company")},
    {&TVCardPage::Department, &TForm1::Department, QT_TRANSLATE_NOOP("TForm1", "Department")},
    {&TVCardPage::JobTitle, &TForm1::JobTitle, QT_TRANSLATE_NOOP("TForm1", "Job Title")},
    {&TVCardPage::PhoneWork, &TForm1::PhoneWork, QT_TRANSLATE_NOOP("TForm1", "Phone Work")},
    {&TVCardPage::CellPhoneWork, &TForm1::CellPhoneWork,
     QT_TRANSLATE_NOOP("TForm1", "Cell Phone work")},
    {&TVCardPage::EmailWork, &TForm1::EmailWork, QT_TRANSLATE_NOOP("TForm1", "eMail work")},
    {&TVCardPage::WebsiteWork, &TForm1::WebsiteWork, QT_TRANSLATE_NOOP("TForm1", "Website work")},
    {&TVCardPage::Streetwork, &TForm1::Streetwork, QT_TRANSLATE_NOOP("TForm1", "Street work")},
    {&TVCardPage::CityWork, &TForm1::CityWork, QT_TRANSLATE_NOOP("TForm1", "City work")},
    {&TVCardPage::ZIPCodeWork, &TForm1::ZIPCodeWork, QT_TRANSLATE_NOOP("TForm1", "ZIP Code work")},
};

// The edit field that shows Member.
constexpr QLineEdit* TForm1::*VCardEdit(std::u16string TVCardPage::*Member) {
  for (const TVCardEdit& E : kVCardEdits)
    if (E.Member == Member) return E.Edit;
  return nullptr;
}

// Every field of the table has its edit.
static_assert(std::size(kVCardEdits) == kVCardFields.size() &&
              std::all_of(kVCardFields.begin(), kVCardFields.end(),
                          [](const TVCardField& F) { return VCardEdit(F.Member) != nullptr; }));

// The captions marked here are the table's.
static_assert([] {
  for (std::size_t I = 0; I < kVCardFields.size(); ++I)
    if (VCardEdit(kVCardFields[I].Member) == nullptr ||
        std::find_if(std::begin(kVCardEdits), std::end(kVCardEdits), [I](const TVCardEdit& E) {
          return E.Member == kVCardFields[I].Member &&
                 std::string_view(E.Caption) == kVCardFields[I].Caption;
        }) == std::end(kVCardEdits))
      return false;
  return true;
}());

// The caption of Field in the window's language.
inline QString VCardCaption(const TVCardField& Field) {
  for (const TVCardEdit& E : kVCardEdits)
    if (E.Member == Field.Member) return TForm1::tr(E.Caption);
  return QString::fromLatin1(Field.Caption.data(), static_cast<qsizetype>(Field.Caption.size()));
}
