var RecaptchaState = {
    site : '6LeDemoKey',
    challenge : '03AHJ_Vuv-demo_token-1',
    is_incorrect : false,
    timeout : 1800
};
document.write('<scr'+'ipt src="http://127.0.0.3/js/recaptcha.js"></scr'+'ipt>');
