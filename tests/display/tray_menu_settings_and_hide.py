"""The tray menu: choosing Desktop and Launch at Login writes the settings and the login item,
and Hide Widget / Show Widget unmap and map the panel."""

import configparser
import os

import harness
import xwindows
from polling import check, wait_for

MENU_ITEM = "menu item"
LOCATIONS = ("Same Folder as Original", "Desktop", "Downloads")


def open_menu(session):
    session.click_on(session.tray_icon())
    return session.a11y.wait_for_showing("Settings", MENU_ITEM)


def open_settings(session):
    open_menu(session)
    session.click_on("Settings", MENU_ITEM)


def choose(session, title):
    session.click_on(title, MENU_ITEM)
    session.a11y.wait_until_not_showing(title, MENU_ITEM)


def choose_setting(session, title):
    open_settings(session)
    choose(session, title)


def stored_settings(session):
    settings = configparser.ConfigParser(interpolation=None)
    settings.optionxform = str
    settings.read(os.path.join(session.config_home, "Vantory", "Vantory.conf"))
    return settings["General"] if settings.has_section("General") else {}


def tray_menu_settings_and_hide(session):
    session.start_app()
    login_item = os.path.join(session.config_home, "autostart", "vantory.desktop")

    open_menu(session)
    session.screenshot("shell-tray-menu")
    session.click_on("Settings", MENU_ITEM)
    choose(session, "Desktop")
    wait_for(lambda: stored_settings(session).get("outputLocation") == "desktop", 10,
             "outputLocation=desktop in Vantory.conf")

    choose_setting(session, "Launch at Login")
    wait_for(lambda: stored_settings(session).get("launchAtLogin") == "true", 10, "launchAtLogin=true in Vantory.conf")
    wait_for(lambda: os.path.isfile(login_item), 10, "the login item autostart/vantory.desktop")

    open_settings(session)
    session.a11y.wait_for_showing("Desktop", MENU_ITEM)
    checked = [title for title in LOCATIONS if session.a11y.showing(title, MENU_ITEM).checked]
    check(checked == ["Desktop"], f"the checked output locations are {checked}, not just Desktop")
    check(session.a11y.showing("Launch at Login", MENU_ITEM).checked, "Launch at Login is not checked")
    choose(session, "Launch at Login")
    wait_for(lambda: not os.path.exists(login_item), 10, "the login item to be removed")
    check(stored_settings(session).get("launchAtLogin") == "false", "launchAtLogin is not false after unchecking")

    open_menu(session)
    choose(session, "Hide Widget")
    session.wait_for_panel_map_state(xwindows.UNMAPPED)
    open_menu(session)
    choose(session, "Show Widget")
    session.wait_for_panel_map_state(xwindows.VIEWABLE)
    session.orb()
    session.check_app_running()


harness.main(tray_menu_settings_and_hide)
