#!/usr/bin/env bash
# add-path-entry.sh INSTALLER.msi
#
# Adds to an installer built by wixl from tallyroll.wxs what wixl cannot
# write, an Environment element: the row that puts the program's folder at
# the end of the system's PATH when the component ProgramOnPath is installed
# and takes it out again when it is removed, and the two standard actions
# that apply such rows. Needs msibuild (msitools).
set -euo pipefail
[[ $# -eq 1 ]] || {
    echo "usage: packaging/add-path-entry.sh INSTALLER.msi" >&2
    exit 2
}
# Name: = set on install, - removed on uninstall, * the system's variable.
# Value: [~] is the value already there, so the folder is appended.
msibuild "$1" \
    -q 'CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)' \
    -q "INSERT INTO \`Environment\` (\`Environment\`, \`Name\`, \`Value\`, \`Component_\`) VALUES ('ProgramOnPath', '=-*PATH', '[~];[INSTALLDIR]', 'ProgramOnPath')" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('RemoveEnvironmentStrings', 3300)" \
    -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Sequence\`) VALUES ('WriteEnvironmentStrings', 5200)"
