// The window's side of the VCard page: which edit field shows which member of the page record.
// Captions and the order of the fields come from payload/VCardFields.h; the page's layout,
// VCardPage() and SetVCardPage() walk that table and find each field's edit here.
#pragma once

#include "Unit1.h"
#include "payload/VCardFields.h"

#include <QLineEdit>
#include <algorithm>
#include <iterator>
#include <string>

struct TVCardEdit {
  std::u16string TVCardPage::*Member;
  QLineEdit* TForm1::*Edit;
};

inline constexpr TVCardEdit kVCardEdits[] = {
    {&TVCardPage::ContactName, &TForm1::ContactName},
    {&TVCardPage::FirstName, &TForm1::FirstName},
    {&TVCardPage::LastName, &TForm1::LastName},
    {&TVCardPage::MiddleName, &TForm1::MiddleName},
    {&TVCardPage::PhonePrivate, &TForm1::PhonePrivate},
    {&TVCardPage::PhoneCellPrivate, &TForm1::PhoneCellPrivate},
    {&TVCardPage::EmailPrivate, &TForm1::EmailPrivate},
    {&TVCardPage::WebsitePrivate, &TForm1::WebsitePrivate},
    {&TVCardPage::StreetHome, &TForm1::StreetHome},
    {&TVCardPage::CityHome, &TForm1::CityHome},
    {&TVCardPage::ZIPCodeHome, &TForm1::ZIPCodeHome},
    {&TVCardPage::Birthday, &TForm1::Birthday},
    {&TVCardPage::Company, &TForm1::Company},
    {&TVCardPage::Department, &TForm1::Department},
    {&TVCardPage::JobTitle, &TForm1::JobTitle},
    {&TVCardPage::PhoneWork, &TForm1::PhoneWork},
    {&TVCardPage::CellPhoneWork, &TForm1::CellPhoneWork},
    {&TVCardPage::EmailWork, &TForm1::EmailWork},
    {&TVCardPage::WebsiteWork, &TForm1::WebsiteWork},
    {&TVCardPage::Streetwork, &TForm1::Streetwork},
    {&TVCardPage::CityWork, &TForm1::CityWork},
    {&TVCardPage::ZIPCodeWork, &TForm1::ZIPCodeWork},
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
