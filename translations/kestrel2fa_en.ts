<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ru_RU">
<context>
    <name>AboutPage</name>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Kestrel 2FA</source>
        <translation>Kestrel 2FA</translation>
    </message>
    <message>
        <source>Двухфакторная аутентификация: одноразовые коды TOTP и HOTP, регистрация аккаунтов на сервере по билету и подтверждение входа одним нажатием.</source>
        <translation>Two-factor authentication: TOTP and HOTP one-time codes, account registration at a server by ticket, and login confirmation with a single tap.</translation>
    </message>
</context>
<context>
    <name>AccountDelegate</name>
    <message>
        <source>Сначала получите код кнопкой ↻</source>
        <translation>Get a code first with the ↻ button</translation>
    </message>
    <message>
        <source>Код пока недоступен</source>
        <translation>No code yet</translation>
    </message>
    <message>
        <source>Код скопирован</source>
        <translation>Code copied</translation>
    </message>
    <message>
        <source>Без названия</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Код %1</source>
        <translation>Code %1</translation>
    </message>
    <message>
        <source>нажмите ↻ для кода</source>
        <translation>press ↻ for a code</translation>
    </message>
    <message>
        <source>Следующий: %1</source>
        <translation>Next: %1</translation>
    </message>
    <message>
        <source>● Сервер на связи: вход подтверждается здесь</source>
        <translation>● Server connected: logins are confirmed here</translation>
    </message>
    <message>
        <source>● Нет связи с сервером</source>
        <translation>● No connection to the server</translation>
    </message>
    <message>
        <source>● Подключение к серверу…</source>
        <translation>● Connecting to the server…</translation>
    </message>
    <message>
        <source>Следующий код</source>
        <translation>Next code</translation>
    </message>
    <message>
        <source>Действия</source>
        <translation>Actions</translation>
    </message>
    <message>
        <source>Перетащите, чтобы изменить порядок</source>
        <translation>Drag to reorder</translation>
    </message>
</context>
<context>
    <name>AccountQrDialog</name>
    <message>
        <source>Без названия</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Отсканируйте код другим приложением-аутентификатором. Не показывайте его посторонним: по нему можно получать ваши коды.</source>
        <translation>Scan the code with another authenticator app. Do not show it to others: anyone with it can get your codes.</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>AccountsListModel</name>
    <message>
        <source>Невозможно зарегистрировать аккаунт: в QR-коде нет адреса сервера или идентификатора запроса.</source>
        <translation>The account cannot be registered: the QR code has no server address or request id.</translation>
    </message>
    <message>
        <source>Сервер %1 сообщил, что эти аккаунты больше не действуют, и они удалены: %2.</source>
        <translation>The server %1 reported that these accounts are no longer valid, and they were removed: %2.</translation>
    </message>
    <message>
        <source>и ещё %1</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>без названия</source>
        <translation>untitled</translation>
    </message>
    <message>
        <source>Неизвестный формат файла.</source>
        <translation>Unknown file format.</translation>
    </message>
    <message>
        <source>Нет аккаунтов, которые можно экспортировать.</source>
        <translation>There are no accounts that can be exported.</translation>
    </message>
    <message>
        <source>Список ссылок не шифруется: уберите пароль или выберите формат Aegis.</source>
        <translation>A list of links is not encrypted: clear the password or choose the Aegis format.</translation>
    </message>
    <message>
        <source>Не удалось зашифровать файл.</source>
        <translation>The file could not be encrypted.</translation>
    </message>
    <message>
        <source>Аккаунты подтверждения входа не переносятся (%1): они привязаны к этому устройству и его регистрации на сервере.</source>
        <translation>Login confirmation accounts are not transferred (%1): they are tied to this device and its registration at the server.</translation>
    </message>
    <message>
        <source>Аккаунты без действующих кодов пропущены (%1).</source>
        <translation>Accounts without working codes are skipped (%1).</translation>
    </message>
    <message>
        <source>Аккаунты с периодом не 30 секунд или с числом цифр не 6 и не 8 не помещаются в коды переноса (%1): перенесите их файлом.</source>
        <translation>Accounts with a period other than 30 seconds or with other than 6 or 8 digits do not fit in transfer codes (%1): transfer them with a file.</translation>
    </message>
    <message>
        <source>Импортировано аккаунтов: %1. Уже были в списке: %2. Не поддерживаются: %3.</source>
        <translation>Accounts imported: %1. Already in the list: %2. Not supported: %3.</translation>
    </message>
    <message>
        <source>Код переноса %1 из %2. </source>
        <translation>Transfer code %1 of %2. </translation>
    </message>
</context>
<context>
    <name>AccountsPage</name>
    <message>
        <source>Kestrel 2FA</source>
        <translation>Kestrel 2FA</translation>
    </message>
    <message>
        <source>Закрыть поиск</source>
        <translation>Close search</translation>
    </message>
    <message>
        <source>Поиск</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Меню</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Аккаунты</source>
        <translation>Accounts</translation>
    </message>
    <message>
        <source>Ничего не найдено</source>
        <translation>Nothing found</translation>
    </message>
    <message>
        <source>Добавить аккаунт</source>
        <translation>Add account</translation>
    </message>
</context>
<context>
    <name>AddAccountPage</name>
    <message>
        <source>Новый аккаунт</source>
        <translation>New account</translation>
    </message>
    <message>
        <source>Добавьте аккаунт по QR-коду, который показывает сайт или сервер аутентификации.</source>
        <translation>Add an account with the QR code that the website or authentication server shows.</translation>
    </message>
    <message>
        <source>Сканировать камерой</source>
        <translation>Scan with the camera</translation>
    </message>
    <message>
        <source>Открыть изображение с QR-кодом</source>
        <translation>Open an image of a QR code</translation>
    </message>
    <message>
        <source>Ввести ключ вручную</source>
        <translation>Enter a key manually</translation>
    </message>
    <message>
        <source>Или вставьте текст кода</source>
        <translation>Or paste the code&apos;s text</translation>
    </message>
    <message>
        <source>Текст QR-кода</source>
        <translation>QR code text</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>otpauth://totp/Сервис:имя?secret=…</source>
        <translation>otpauth://totp/Service:name?secret=…</translation>
    </message>
</context>
<context>
    <name>AegisVault</name>
    <message>
        <source>Файл повреждён или не является резервной копией.</source>
        <translation>The file is damaged or is not a backup.</translation>
    </message>
    <message>
        <source>Эта версия файла резервной копии не поддерживается.</source>
        <translation>This version of the backup file is not supported.</translation>
    </message>
    <message>
        <source>Файл зашифрован: введите пароль.</source>
        <translation>The file is encrypted: enter the password.</translation>
    </message>
    <message>
        <source>Неверный пароль: файл не расшифрован.</source>
        <translation>Wrong password: the file was not decrypted.</translation>
    </message>
    <message>
        <source>Файл нельзя открыть паролем: он зашифрован ключом другого устройства.</source>
        <translation>The file cannot be opened with a password: it is encrypted with another device&apos;s key.</translation>
    </message>
</context>
<context>
    <name>ApplicationController</name>
    <message>
        <source>Open app</source>
        <translation>Open app</translation>
    </message>
    <message>
        <source>Kestrel 2FA</source>
        <translation>Kestrel 2FA</translation>
    </message>
</context>
<context>
    <name>ApplicationPinModel</name>
    <message>
        <source>PIN-код не изменён: не удалось записать его на устройство (нет места или нет доступа к папке данных).</source>
        <translation>The PIN was not changed: it could not be written to the device (no space or no access to the data folder).</translation>
    </message>
</context>
<context>
    <name>BackupExportPage</name>
    <message>
        <source>Введите пароль.</source>
        <translation>Enter a password.</translation>
    </message>
    <message>
        <source>Пароли не совпадают.</source>
        <translation>The passwords do not match.</translation>
    </message>
    <message>
        <source>Сохранено в файл %1.</source>
        <translation>Saved to the file %1.</translation>
    </message>
    <message>
        <source>Резервная копия сохранена</source>
        <translation>Backup saved</translation>
    </message>
    <message>
        <source>Экспорт в файл</source>
        <translation>Export to a file</translation>
    </message>
    <message>
        <source>Формат</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Aegis, зашифрованный паролем</source>
        <translation>Aegis, encrypted with a password</translation>
    </message>
    <message>
        <source>Aegis без шифрования</source>
        <translation>Aegis, not encrypted</translation>
    </message>
    <message>
        <source>Список ссылок otpauth:// без шифрования</source>
        <translation>List of otpauth:// links, not encrypted</translation>
    </message>
    <message>
        <source>Пароль</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Пароль ещё раз</source>
        <translation>Password again</translation>
    </message>
    <message>
        <source>Без пароля файл не открыть: восстановить его нельзя.</source>
        <translation>The file cannot be opened without the password: it cannot be recovered.</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Экспортировать</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Сохранить без шифрования?</source>
        <translation>Save without encryption?</translation>
    </message>
    <message>
        <source>В файле будут открыты секреты всех аккаунтов: любой, кто его получит, сможет получать ваши коды. Храните его там, куда не доберутся посторонние, и удалите, когда он станет не нужен.</source>
        <translation>The file will hold the secrets of all accounts in the open: anyone who gets it can get your codes. Keep it where others cannot reach it, and delete it when it is no longer needed.</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>BackupFile</name>
    <message>
        <source>Выберите файл.</source>
        <translation>Choose a file.</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл: %1</source>
        <translation>Could not read the file: %1</translation>
    </message>
    <message>
        <source>Файл слишком большой для резервной копии.</source>
        <translation>The file is too large for a backup.</translation>
    </message>
    <message>
        <source>Не удалось записать файл: %1</source>
        <translation>Could not write the file: %1</translation>
    </message>
</context>
<context>
    <name>BackupImportPage</name>
    <message>
        <source>Выберите файл</source>
        <translation>Choose a file</translation>
    </message>
    <message>
        <source>Здесь нет файлов .json и .txt</source>
        <translation>No .json or .txt files here</translation>
    </message>
    <message>
        <source>Импорт завершён</source>
        <translation>Import finished</translation>
    </message>
    <message>
        <source>Импорт из файла</source>
        <translation>Import from a file</translation>
    </message>
    <message>
        <source>Подходят файлы Aegis (.json, с паролем или без) и текстовые файлы со ссылками otpauth:// или кодами переноса otpauth-migration://, по одной в строке.</source>
        <translation>Aegis files (.json, with or without a password) and text files with otpauth:// links or otpauth-migration:// transfer codes, one per line, can be imported.</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Выбрать…</source>
        <translation>Choose…</translation>
    </message>
    <message>
        <source>Пароль, если файл зашифрован</source>
        <translation>Password, if the file is encrypted</translation>
    </message>
    <message>
        <source>Импортировать</source>
        <translation>Import</translation>
    </message>
</context>
<context>
    <name>CameraPage</name>
    <message>
        <source>Сканирование QR-кода</source>
        <translation>Scan a QR code</translation>
    </message>
    <message>
        <source>Наведите камеру на QR-код</source>
        <translation>Point the camera at the QR code</translation>
    </message>
</context>
<context>
    <name>ConfirmationDialog</name>
    <message>
        <source>Подтверждение входа</source>
        <translation>Login confirmation</translation>
    </message>
    <message>
        <source>Вы входите в сервис?</source>
        <translation>Are you logging in to this service?</translation>
    </message>
    <message>
        <source>Без названия</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Аккаунт: %1</source>
        <translation>Account: %1</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Сведения</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Текущий код уже использован для подтверждения входа.</source>
        <translation>The current code has already been used to confirm a login.</translation>
    </message>
    <message numerus="yes">
        <source>Запрос пришёл %n с назад</source>
        <translation>
            <numerusform>Request received %n second ago</numerusform>
            <numerusform>Request received %n seconds ago</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Запрос пришёл %n мин назад</source>
        <translation>
            <numerusform>Request received %n minute ago</numerusform>
            <numerusform>Request received %n minutes ago</numerusform>
        </translation>
    </message>
    <message>
        <source>Отправляем ответ…</source>
        <translation>Sending the answer…</translation>
    </message>
    <message>
        <source>Вход подтверждён</source>
        <translation>Login confirmed</translation>
    </message>
    <message>
        <source>Вход отклонён</source>
        <translation>Login declined</translation>
    </message>
    <message>
        <source>Запрос отозван</source>
        <translation>Request withdrawn</translation>
    </message>
    <message>
        <source>Отклонить</source>
        <translation>Decline</translation>
    </message>
    <message>
        <source>Подтвердить</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>DataStorage</name>
    <message>
        <source>Не удалось прочитать файл аккаунтов. Он оставлен без изменений, а изменения списка не будут сохраняться до перезапуска программы.</source>
        <translation>The accounts file could not be read. It is left unchanged, and changes to the list will not be saved until the program restarts.</translation>
    </message>
    <message>
        <source>Файл аккаунтов повреждён, и прочитать его не удалось. Его копия сохранена в папке данных программы под именем «%1».</source>
        <translation>The accounts file is damaged and could not be read. A copy of it is kept in the program&apos;s data folder as “%1”.</translation>
    </message>
    <message>
        <source>Записей в файле аккаунтов, которые эта версия программы не может показать: %1. Они сохраняются в файле без изменений.</source>
        <translation>Entries in the accounts file that this version of the program cannot show: %1. They are kept in the file unchanged.</translation>
    </message>
    <message>
        <source>Не удалось записать аккаунты на устройство (нет места или нет доступа к папке данных). Аккаунты остаются в памяти программы, запись повторяется автоматически.</source>
        <translation>The accounts could not be written to the device (no space or no access to the data folder). The accounts stay in the program&apos;s memory, and writing is retried automatically.</translation>
    </message>
</context>
<context>
    <name>DuplicateDialog</name>
    <message>
        <source>Такой аккаунт уже есть</source>
        <translation>This account already exists</translation>
    </message>
    <message>
        <source>В списке уже есть аккаунт с этим сервисом и именем:</source>
        <translation>The list already has an account with this service and name:</translation>
    </message>
    <message>
        <source>Без названия</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>%1-й в списке</source>
        <translation>No. %1 in the list</translation>
    </message>
    <message>
        <source>Заменить его новым, сохранить оба или отменить добавление?</source>
        <translation>Replace it with the new one, keep both, or cancel adding?</translation>
    </message>
    <message>
        <source>Заменить</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Сохранить оба</source>
        <translation>Keep both</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>EditDialog</name>
    <message>
        <source>Аккаунт не найден: возможно, он уже удалён</source>
        <translation>Account not found: it may have been removed</translation>
    </message>
    <message>
        <source>Аккаунт изменён</source>
        <translation>Account changed</translation>
    </message>
    <message>
        <source>Изменить аккаунт</source>
        <translation>Edit account</translation>
    </message>
    <message>
        <source>Сервис</source>
        <translation>Service</translation>
    </message>
    <message>
        <source>Имя</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>EmptyState</name>
    <message>
        <source>Аккаунтов пока нет</source>
        <translation>No accounts yet</translation>
    </message>
    <message>
        <source>Нажмите «+», чтобы добавить аккаунт: отсканируйте QR-код камерой, откройте снимок экрана с кодом или вставьте ссылку otpauth:// или orbticket://.</source>
        <translation>Press “+” to add an account: scan a QR code with the camera, open a screenshot of the code, or paste an otpauth:// or orbticket:// link.</translation>
    </message>
    <message>
        <source>Добавить аккаунт</source>
        <translation>Add account</translation>
    </message>
</context>
<context>
    <name>ImagePickerPage</name>
    <message>
        <source>Папка не найдена: %1</source>
        <translation>Folder not found: %1</translation>
    </message>
    <message>
        <source>Выберите изображение</source>
        <translation>Choose an image</translation>
    </message>
    <message>
        <source>Вверх</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Изображения</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>Загрузки</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>Домашняя папка</source>
        <translation>Home</translation>
    </message>
    <message>
        <source>Путь к папке</source>
        <translation>Folder path</translation>
    </message>
    <message>
        <source>Папка %1</source>
        <translation>Folder %1</translation>
    </message>
    <message>
        <source>Здесь нет изображений</source>
        <translation>No images here</translation>
    </message>
</context>
<context>
    <name>Kestrel2FAClient</name>
    <message>
        <source>Дайте новому аккаунту другое имя, чтобы отличать его от сохранённого.</source>
        <translation>Give the new account another name to tell it from the stored one.</translation>
    </message>
    <message numerus="yes">
        <source>%n с</source>
        <translation>
            <numerusform>%n s</numerusform>
            <numerusform>%n s</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n мин</source>
        <translation>
            <numerusform>%n min</numerusform>
            <numerusform>%n min</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n ч</source>
        <translation>
            <numerusform>%n h</numerusform>
            <numerusform>%n h</numerusform>
        </translation>
    </message>
    <message>
        <source>Слишком много неверных попыток. Повторите через %1.</source>
        <translation>Too many wrong attempts. Try again in %1.</translation>
    </message>
    <message>
        <source>Неверный PIN-код. После ещё одной ошибки ввод будет закрыт на %1.</source>
        <translation>Wrong PIN. One more wrong entry locks the PIN entry for %1.</translation>
    </message>
    <message>
        <source>Неверный PIN-код</source>
        <translation>Wrong PIN</translation>
    </message>
    <message>
        <source>Не удалось подтвердить подлинность сертификата сервера</source>
        <translation>The server&apos;s certificate could not be verified</translation>
    </message>
    <message>
        <source>Неверная операция для данного протокола</source>
        <translation>Invalid operation for this protocol</translation>
    </message>
    <message>
        <source>Внутренняя ошибка сервера</source>
        <translation>Internal server error</translation>
    </message>
    <message>
        <source>Не удалось установить соединение с сервером</source>
        <translation>Could not connect to the server</translation>
    </message>
    <message>
        <source>Неизвестная сетевая ошибка</source>
        <translation>Unknown network error</translation>
    </message>
    <message>
        <source>Ошибка при регистрации аккаунта</source>
        <translation>The account could not be registered</translation>
    </message>
    <message>
        <source>Неизвестная ошибка</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>Невозможно зарегистрировать аккаунт: сервер прислал некорректные данные.</source>
        <translation>The account cannot be registered: the server sent invalid data.</translation>
    </message>
    <message>
        <source>Невозможно зарегистрировать аккаунт: в QR-коде нет адреса сервера или идентификатора запроса.</source>
        <translation>The account cannot be registered: the QR code has no server address or request id.</translation>
    </message>
    <message>
        <source>Сервер ответил: «%1»</source>
        <translation>The server replied: “%1”</translation>
    </message>
    <message>
        <source>Вставьте текст QR-кода</source>
        <translation>Paste the QR code&apos;s text</translation>
    </message>
    <message>
        <source>Удалить аккаунт «%1»%2? Коды для входа по нему больше не будут доступны.</source>
        <translation>Remove the account “%1”%2? Its login codes will no longer be available.</translation>
    </message>
    <message>
        <source>Без названия</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Двоеточие («:») в названии сервиса и имени не допускается</source>
        <translation>The service and the name cannot contain a colon (“:”)</translation>
    </message>
    <message>
        <source>Введите название сервиса или имя аккаунта</source>
        <translation>Enter a service or an account name</translation>
    </message>
    <message>
        <source>Аккаунт зарегистрирован</source>
        <translation>Account registered</translation>
    </message>
    <message>
        <source>Аккаунт добавлен</source>
        <translation>Account added</translation>
    </message>
    <message>
        <source>Аккаунт заменён</source>
        <translation>Account replaced</translation>
    </message>
    <message>
        <source>Не удалось сохранить настройки: они действуют до выхода из программы</source>
        <translation>The settings could not be saved: they last until the program ends</translation>
    </message>
    <message>
        <source>Неожиданный ответ сервера (код HTTP %1)</source>
        <translation>Unexpected server response (HTTP code %1)</translation>
    </message>
</context>
<context>
    <name>LockScreen</name>
    <message>
        <source>Введите PIN-код</source>
        <translation>Enter your PIN</translation>
    </message>
    <message>
        <source>Разблокировать</source>
        <translation>Unlock</translation>
    </message>
    <message>
        <source>Слишком много неверных попыток. Повторите через %1.</source>
        <translation>Too many wrong attempts. Try again in %1.</translation>
    </message>
</context>
<context>
    <name>MainMenu</name>
    <message>
        <source>Добавить аккаунт</source>
        <translation>Add account</translation>
    </message>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>ManualEntryPage</name>
    <message>
        <source>Введите секретный ключ</source>
        <translation>Enter the secret key</translation>
    </message>
    <message>
        <source>Секретный ключ записывается латинскими буквами A–Z и цифрами 2–7. Проверьте, нет ли в нём других знаков (например, 0, 1, 8 или 9).</source>
        <translation>A secret key is written with the letters A–Z and the digits 2–7. Check it for other characters (such as 0, 1, 8 or 9).</translation>
    </message>
    <message>
        <source>Секретный ключ неполный: проверьте, что он введён целиком.</source>
        <translation>The secret key is incomplete: check that all of it was entered.</translation>
    </message>
    <message>
        <source>Ввод ключа</source>
        <translation>Enter a key</translation>
    </message>
    <message>
        <source>Сервис</source>
        <translation>Service</translation>
    </message>
    <message>
        <source>Например, GitHub</source>
        <translation>For example, GitHub</translation>
    </message>
    <message>
        <source>Имя аккаунта</source>
        <translation>Account name</translation>
    </message>
    <message>
        <source>Например, почта или логин</source>
        <translation>For example, an email address or login</translation>
    </message>
    <message>
        <source>Секретный ключ</source>
        <translation>Secret key</translation>
    </message>
    <message>
        <source>Дополнительно</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>Тип</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>По времени (TOTP)</source>
        <translation>Time-based (TOTP)</translation>
    </message>
    <message>
        <source>По счётчику (HOTP)</source>
        <translation>Counter-based (HOTP)</translation>
    </message>
    <message>
        <source>Цифр в коде</source>
        <translation>Code digits</translation>
    </message>
    <message>
        <source>Алгоритм</source>
        <translation>Algorithm</translation>
    </message>
    <message>
        <source>Счётчик</source>
        <translation>Counter</translation>
    </message>
    <message>
        <source>Период, с</source>
        <translation>Period, s</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
</context>
<context>
    <name>MigrationCodes</name>
    <message>
        <source>Код переноса повреждён или неполон.</source>
        <translation>The transfer code is damaged or incomplete.</translation>
    </message>
    <message>
        <source>Эта версия кода переноса не поддерживается.</source>
        <translation>This version of the transfer code is not supported.</translation>
    </message>
</context>
<context>
    <name>OtpauthUriList</name>
    <message>
        <source>В файле нет ни одного аккаунта: это не резервная копия.</source>
        <translation>The file holds no accounts: it is not a backup.</translation>
    </message>
</context>
<context>
    <name>PageHeader</name>
    <message>
        <source>Назад</source>
        <translation>Back</translation>
    </message>
</context>
<context>
    <name>PinAttemptLimiter</name>
    <message>
        <source>Не удалось записать число неверных попыток ввода PIN-кода (нет места или нет доступа к папке данных). После перезапуска программы ограничение может быть сброшено.</source>
        <translation>The count of wrong PIN entries could not be written (no space or no access to the data folder). After a restart of the program the limit may be reset.</translation>
    </message>
</context>
<context>
    <name>PinCheckDialog</name>
    <message>
        <source>Введите PIN-код</source>
        <translation>Enter your PIN</translation>
    </message>
    <message>
        <source>Слишком много неверных попыток. Повторите через %1.</source>
        <translation>Too many wrong attempts. Try again in %1.</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Продолжить</source>
        <translation>Continue</translation>
    </message>
</context>
<context>
    <name>PinSetupPage</name>
    <message>
        <source>PIN-код удалён</source>
        <translation>PIN removed</translation>
    </message>
    <message numerus="yes">
        <source>PIN-код должен содержать не меньше %n цифр</source>
        <translation>
            <numerusform>The PIN must have at least %n digit</numerusform>
            <numerusform>The PIN must have at least %n digits</numerusform>
        </translation>
    </message>
    <message>
        <source>PIN-коды не совпадают, введите новый PIN-код ещё раз</source>
        <translation>The PINs do not match, enter the new PIN again</translation>
    </message>
    <message>
        <source>PIN-код установлен</source>
        <translation>PIN set</translation>
    </message>
    <message>
        <source>PIN-код изменён</source>
        <translation>PIN changed</translation>
    </message>
    <message>
        <source>Установка PIN-кода</source>
        <translation>Set PIN</translation>
    </message>
    <message>
        <source>Смена PIN-кода</source>
        <translation>Change PIN</translation>
    </message>
    <message>
        <source>Удаление PIN-кода</source>
        <translation>Remove PIN</translation>
    </message>
    <message>
        <source>Введите текущий PIN-код</source>
        <translation>Enter your current PIN</translation>
    </message>
    <message>
        <source>Введите новый PIN-код</source>
        <translation>Enter a new PIN</translation>
    </message>
    <message>
        <source>Повторите новый PIN-код</source>
        <translation>Repeat the new PIN</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Удалить PIN-код</source>
        <translation>Remove PIN</translation>
    </message>
    <message>
        <source>Далее</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Слишком много неверных попыток. Повторите через %1.</source>
        <translation>Too many wrong attempts. Try again in %1.</translation>
    </message>
    <message>
        <source>PIN-код будет запрашиваться при каждом запуске программы.</source>
        <translation>The PIN will be asked for every time the program starts.</translation>
    </message>
</context>
<context>
    <name>QRCodeScannerModel</name>
    <message>
        <source>Невозможно зарегистрировать аккаунт: в QR-коде нет адреса сервера или идентификатора запроса.</source>
        <translation>The account cannot be registered: the QR code has no server address or request id.</translation>
    </message>
    <message>
        <source>Это не QR-код аккаунта. Нужна ссылка вида otpauth://totp/…, otpauth://hotp/…, код переноса otpauth-migration://… или билет orbticket://…</source>
        <translation>This is not an account&apos;s QR code. It must be an otpauth://totp/… or otpauth://hotp/… link, an otpauth-migration://… transfer code or an orbticket://… ticket</translation>
    </message>
    <message>
        <source>Невозможно добавить аккаунт: в коде должно быть от 3 до 10 цифр.</source>
        <translation>The account cannot be added: a code must have 3 to 10 digits.</translation>
    </message>
    <message>
        <source>Невозможно добавить аккаунт: период смены кода должен быть от 2 до 120 секунд.</source>
        <translation>The account cannot be added: the code period must be 2 to 120 seconds.</translation>
    </message>
    <message>
        <source>Невозможно добавить аккаунт: алгоритм должен быть SHA1, SHA256 или SHA512.</source>
        <translation>The account cannot be added: the algorithm must be SHA1, SHA256 or SHA512.</translation>
    </message>
    <message>
        <source>Невозможно добавить аккаунт: секретный ключ слишком короткий или содержит символы вне Base32 (латинские буквы и цифры от 2 до 7).</source>
        <translation>The account cannot be added: the secret key is too short or has characters outside Base32 (the letters A–Z and the digits 2–7).</translation>
    </message>
</context>
<context>
    <name>QRImageDecoder</name>
    <message>
        <source>Изображение не удалось прочитать</source>
        <translation>The image could not be read</translation>
    </message>
    <message>
        <source>На изображении не найден QR-код</source>
        <translation>No QR code found in the image</translation>
    </message>
    <message>
        <source>Не удалось открыть изображение: %1</source>
        <translation>Could not open the image: %1</translation>
    </message>
</context>
<context>
    <name>QuestionDialog</name>
    <message>
        <source>Удалить</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>RegistrationDialog</name>
    <message>
        <source>Регистрация не удалась</source>
        <translation>Registration failed</translation>
    </message>
    <message>
        <source>Регистрация на сервере</source>
        <translation>Registering at the server</translation>
    </message>
    <message>
        <source>Отправляем билет на сервер. Аккаунт появится в списке, как только сервер ответит.</source>
        <translation>Sending the ticket to the server. The account appears in the list as soon as the server answers.</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Скрыть</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>Повторить</source>
        <translation>Retry</translation>
    </message>
</context>
<context>
    <name>RemoveDialog</name>
    <message>
        <source>Удалить аккаунт?</source>
        <translation>Remove account?</translation>
    </message>
    <message>
        <source>Аккаунт удалён</source>
        <translation>Account removed</translation>
    </message>
</context>
<context>
    <name>RowMenu</name>
    <message>
        <source>Копировать код</source>
        <translation>Copy code</translation>
    </message>
    <message>
        <source>Следующий код</source>
        <translation>Next code</translation>
    </message>
    <message>
        <source>Изменить…</source>
        <translation>Edit…</translation>
    </message>
    <message>
        <source>Выше</source>
        <translation>Move up</translation>
    </message>
    <message>
        <source>Ниже</source>
        <translation>Move down</translation>
    </message>
    <message>
        <source>Удалить…</source>
        <translation>Remove…</translation>
    </message>
    <message>
        <source>Показать QR-код</source>
        <translation>Show QR code</translation>
    </message>
</context>
<context>
    <name>SearchField</name>
    <message>
        <source>Поиск по сервису и имени</source>
        <translation>Search by service and name</translation>
    </message>
</context>
<context>
    <name>SettingsPage</name>
    <message>
        <source>Настройки</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Защита</source>
        <translation>Security</translation>
    </message>
    <message>
        <source>PIN-код установлен: он запрашивается при запуске программы.</source>
        <translation>A PIN is set: it is asked for when the program starts.</translation>
    </message>
    <message>
        <source>PIN-код не установлен: программа открывается без проверки.</source>
        <translation>No PIN is set: the program opens without a check.</translation>
    </message>
    <message>
        <source>Установить PIN-код</source>
        <translation>Set a PIN</translation>
    </message>
    <message>
        <source>Изменить PIN-код</source>
        <translation>Change PIN</translation>
    </message>
    <message>
        <source>Удалить PIN-код</source>
        <translation>Remove PIN</translation>
    </message>
    <message>
        <source>Оформление</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>Как в системе</source>
        <translation>As in the system</translation>
    </message>
    <message>
        <source>Светлое</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Тёмное</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>Данные</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Сбросить все данные</source>
        <translation>Erase all data</translation>
    </message>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Сбросить все данные?</source>
        <translation>Erase all data?</translation>
    </message>
    <message>
        <source>Все аккаунты будут удалены с этого устройства, коды по ним больше не будут доступны. Отменить это нельзя.</source>
        <translation>All accounts will be removed from this device and their codes will no longer be available. This cannot be undone.</translation>
    </message>
    <message>
        <source>Сбросить</source>
        <translation>Erase</translation>
    </message>
    <message>
        <source>Все аккаунты удалены</source>
        <translation>All accounts removed</translation>
    </message>
    <message>
        <source>Резервная копия</source>
        <translation>Backup</translation>
    </message>
    <message>
        <source>Экспорт в файл</source>
        <translation>Export to a file</translation>
    </message>
    <message>
        <source>Импорт из файла</source>
        <translation>Import from a file</translation>
    </message>
    <message>
        <source>Перенести на другое устройство</source>
        <translation>Move to another device</translation>
    </message>
</context>
<context>
    <name>TransferPage</name>
    <message>
        <source>Перенос на другое устройство</source>
        <translation>Move to another device</translation>
    </message>
    <message>
        <source>Код %1 из %2</source>
        <translation>Code %1 of %2</translation>
    </message>
    <message>
        <source>Отсканируйте коды по очереди приложением, которое принимает коды переноса Google Authenticator. Не показывайте их посторонним: по ним можно получать ваши коды.</source>
        <translation>Scan the codes one after another with an app that accepts Google Authenticator transfer codes. Do not show them to others: anyone with them can get your codes.</translation>
    </message>
    <message>
        <source>Нет аккаунтов, которые можно перенести.</source>
        <translation>No accounts can be moved.</translation>
    </message>
    <message>
        <source>Предыдущий</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Следующий</source>
        <translation>Next</translation>
    </message>
</context>
</TS>
