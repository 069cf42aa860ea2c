#include "shell/ConfigHandlers.h"

#include "common/Opacity.h"
#include "common/Settings.h"
#include "common/Text.h"

#include <cstdint>

namespace tessaly {

namespace keys = settings;

namespace {

// A control set to the value it already holds does not notice; its handler runs all the same.
template <typename Value, typename Set, typename Handler>
void Fill(const Value& held, const Value& wanted, Set&& set, Handler&& handler)
{
    if (held == wanted)
        handler();
    else
        set(wanted);
}

} // namespace

ConfigHandlers::ConfigHandlers(SettingsStore& store, MainWindowView& view, ConfigCopies& copies)
    : store_(store), view_(view), copies_(copies)
{}

void ConfigHandlers::chkShowBallons_Click()
{
    const std::u16string value = NumberText(view_.CheckValue(CheckBox::chkShowBallons));
    store_.write(keys::kBallons.name, value);
    copies_.sShowBallons = value;
}

void ConfigHandlers::chkStartMinimized_Click()
{
    store_.write(keys::kMinimized.name, NumberText(view_.CheckValue(CheckBox::chkStartMinimized)));
}

void ConfigHandlers::chkPlaylist_Click()
{
    store_.write(keys::kRadioPlayList.name, NumberText(view_.CheckValue(CheckBox::chkPlaylist)));
}

void ConfigHandlers::txtFormatString_Change()
{
    const std::u16string text = view_.Text(TextBox::txtFormatString);
    store_.write(keys::kFormat.name, text);
    copies_.sFormatString = text;
}

void ConfigHandlers::txtPlaylist_Change()
{
    store_.write(keys::kPlaylistFile.name, view_.Text(TextBox::txtPlaylist));
}

void ConfigHandlers::VSOpacity_Change()
{
    const std::u16string value = NumberText(view_.SpinValue(SpinControl::VSOpacity));
    view_.SetText(TextBox::txtOpacity, value);
    store_.write(keys::kOpacity.name, value);
}

void ConfigHandlers::VSMainOpacity_Change()
{
    if (view_.SpinValue(SpinControl::VSMainOpacity) < kMainOpacityFloor) {
        // Runs this handler again, for the floor, before going on.
        view_.SetSpinValue(SpinControl::VSMainOpacity, kMainOpacityFloor);
        view_.SetText(TextBox::txtMainOpacity, NumberText(kMainOpacityFloor));
    }
    const int value = view_.SpinValue(SpinControl::VSMainOpacity);
    view_.SetText(TextBox::txtMainOpacity, NumberText(value));
    store_.write(keys::kMainOpacity.name, NumberText(value));
    view_.SetWindowOpacity(PercentToAlpha(static_cast<std::int16_t>(value)));
}

void ConfigHandlers::FillControls()
{
    using Handler = void (ConfigHandlers::*)();
    const auto check = [this](CheckBox box, const keys::Key& key, Handler handler) {
        Fill(
            view_.CheckValue(box), int{keys::ReadControlValue(store_, key)},
            [&](int value) { view_.SetCheckValue(box, value); }, [&] { (this->*handler)(); });
    };
    const auto spin = [this](SpinControl control, const keys::Key& key, Handler handler) {
        Fill(
            view_.SpinValue(control), int{keys::ReadControlValue(store_, key)},
            [&](int value) { view_.SetSpinValue(control, value); }, [&] { (this->*handler)(); });
    };
    const auto text = [this](TextBox box, const std::u16string& wanted, Handler handler) {
        Fill(
            view_.Text(box), wanted, [&](const std::u16string& t) { view_.SetText(box, t); },
            [&] { (this->*handler)(); });
    };

    check(CheckBox::chkStartMinimized, keys::kMinimized, &ConfigHandlers::chkStartMinimized_Click);
    check(CheckBox::chkShowBallons, keys::kBallons, &ConfigHandlers::chkShowBallons_Click);
    copies_.sShowBallons = NumberText(view_.CheckValue(CheckBox::chkShowBallons));
    view_.SetText(TextBox::txtOpacity, keys::Read(store_, keys::kOpacity));
    spin(SpinControl::VSOpacity, keys::kOpacity, &ConfigHandlers::VSOpacity_Change);
    spin(SpinControl::VSMainOpacity, keys::kMainOpacity, &ConfigHandlers::VSMainOpacity_Change);
    // Read again: the handler may have raised the value.
    view_.SetText(TextBox::txtMainOpacity, keys::Read(store_, keys::kMainOpacity));
    check(CheckBox::chkPlaylist, keys::kRadioPlayList, &ConfigHandlers::chkPlaylist_Click);
    text(TextBox::txtPlaylist, keys::Read(store_, keys::kPlaylistFile),
         &ConfigHandlers::txtPlaylist_Change);
    copies_.sFormatString = keys::Read(store_, keys::kFormat);
    text(TextBox::txtFormatString, copies_.sFormatString, &ConfigHandlers::txtFormatString_Change);
}

} // namespace tessaly
