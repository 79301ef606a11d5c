-- What the package needs beyond wixl's elements, added to the built package by msibuild:
-- one statement a line; lines starting with "--" are not statements.
--
-- The PATH entry of feature PathEntry: "=-*" sets PATH in the system environment at install
-- and takes the entry out again at uninstall; "[~];" keeps what PATH holds and appends.
CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)
INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('PathEntry', '=-*PATH', '[~];[BinDir]', 'PathEntry')
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)
